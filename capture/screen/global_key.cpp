#include "capture/screen/global_key.h"

#include "capture/screen/portal_global_key.h"
#include "capture/screen/x11_global_key.h"

namespace orvelle {

std::unique_ptr<GlobalKey> OpenGlobalKey(const QString &description, QObject *parent) {
  if (!qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) {
    return std::make_unique<PortalGlobalKey>(description, parent);
  }
  return std::make_unique<X11GlobalKey>(parent);
}

} // namespace orvelle
