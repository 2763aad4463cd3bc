#!/usr/bin/env bash
# Fails when a folder includes one above it (the order: app → core → batch →
# export → settings → the picture, screen and canvas rooms of capture/ →
# common, where the screen and the canvas stand on the picture room, and
# the command line (batch/cli) stands beside app, on core; sysinfo
# and resources for the windows; the JPEG library's header for those that
# call it), or when a file below app/ that is no window includes a widget
# header (the canvas's room and the version window excepted).
set -euo pipefail
cd "$(dirname "$0")/.."
declare -A allowed=(
  [common]="common"
  [capture/picture]="capture/picture common"
  [capture/screen]="capture/screen capture/picture common"
  [capture/canvas]="capture/canvas capture/picture common"
  [settings]="settings capture/picture common"
  [export]="export settings capture/picture common savejpg"
  [batch]="batch export settings capture/picture capture/screen common savejpg"
  [core]="core batch export settings capture/picture capture/screen common savejpg"
  [batch/cli]="batch/cli core batch export settings capture/picture capture/screen common savejpg"
  [sysinfo]="sysinfo common resources"
  [savejpg]="savejpg"
  [resources]="resources"
)
# The canvas's room: the widgets that show the picture and take the pointer.
canvas="^capture/canvas/"
widgets='^#include <(QtWidgets/.*|QWidget|QLabel|QDialog|QMainWindow|QMessageBox|QApplication|QLineEdit|QPushButton|QScrollArea|QScrollBar|QAction|QMenu|QMenuBar|QToolButton|QSlider|QRadioButton|QButtonGroup|QStatusBar|QFileDialog|QProgressDialog|QSpinBox|QFormLayout|QVBoxLayout|QHBoxLayout|QLayout|QFrame|QAbstractScrollArea|QStyle|QDialogButtonBox|QShortcut|QCheckBox|QComboBox)>'
failed=0
for folder in "${!allowed[@]}"; do
  while IFS= read -r file; do
    while IFS= read -r included; do
      if [[ " ${allowed[$folder]} " != *" $included "* ]]; then
        echo "$file includes $included/, which lies above $folder/"
        failed=1
      fi
    done < <(grep -oE '^#include "[a-z_]+/([a-z_]+/)?' "$file" | sed 's/#include "//; s#/$##' | sort -u)
    if [[ $folder != sysinfo && ! $file =~ $canvas ]] && grep -qE "$widgets" "$file"; then
      echo "$file includes a widget header below the windows"
      failed=1
    fi
  done < <(git ls-files "$folder" | grep -E "^$folder/[^/]+\.(h|cpp)$")
done
# Below the windows and the command line's output, failures travel as
# problems: no Japanese words in the code (comments aside; the canvas's own
# tooltip aside), no text handed back for an error.
while IFS= read -r hit; do
  echo "$hit: words or a text error below the windows"
  failed=1
done < <(git ls-files core batch export settings capture common | grep -E '\.(h|cpp)$' |
  grep -vE '^(batch/cli|capture/canvas)/' | xargs grep -nP \
    '^(?!\s*//).*([\x{3040}-\x{30ff}\x{4e00}-\x{9fff}]|QString \*\w*(problem|error|reason|said)|variant<[^>]*QString>)' || true)
[ $failed = 0 ] && echo "includes: every folder includes only those below it; no words below the windows"
exit $failed
