#include "app/form1_environment.h"

#include "common/program_folder.h"

#include <QCoreApplication>
#include <QDir>
#include <QGuiApplication>

namespace orvelle {

Form1Environment Form1Environment::ForThisProgram() {
  Form1Environment env;
  env.executableFolder = ExecutableFolder();
  env.programFolder = ChooseProgramFolder(env.executableFolder);
  env.bitmapFolder = ChooseBitmapFolder(env.executableFolder);
  env.systemRoot = QDir::rootPath();
  env.screen = PrimaryScreenMetrics;
  env.osVersion = QueryOsVersion;
  env.terminate = [] { QCoreApplication::quit(); };
  env.clipboard = QGuiApplication::clipboard();
  return env;
}

} // namespace orvelle
