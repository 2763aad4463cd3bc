#pragma once

#include <QString>
#include <array>

namespace orvelle {

// One value of trim.ini: its section and key, the range of a whole number
// (least > most: not a whole number), and what a reader takes when the file
// holds no usable value.
struct SettingRow {
  const char *section;
  const char *key;
  int least;
  int most;
  const char *fallback;

  QString Section() const { return QString::fromLatin1(section); }
  QString Key() const { return QString::fromLatin1(key); }
  QString Fallback() const { return QString::fromLatin1(fallback); }
  bool Holds(int value) const { return value >= least && value <= most; }
};

// Every value the programs keep in trim.ini.
namespace setting {
// The save folder; "ERROR" when none is stored.
inline constexpr SettingRow kSaveFolder{"File", "F_Path", 1, 0, "ERROR"};
// The frame: where the trim starts and how large it is, where it lands in the
// output picture, in pixels of -32768 to 32767; the height/width ratio.
inline constexpr SettingRow kPicStartX{"Data", "PicStartX", -32768, 32767, ""};
inline constexpr SettingRow kPicStartY{"Data", "PicStartY", -32768, 32767, ""};
inline constexpr SettingRow kPicWidth{"Data", "PicWidth", -32768, 32767, ""};
inline constexpr SettingRow kPicHeight{"Data", "PicHeight", -32768, 32767, ""};
inline constexpr SettingRow kNewPicStartX{"Data", "NewPicStartX", -32768, 32767, ""};
inline constexpr SettingRow kNewPicStartY{"Data", "NewPicStartY", -32768, 32767, ""};
inline constexpr SettingRow kNewPicWidth{"Data", "NewPicWidth", -32768, 32767, ""};
inline constexpr SettingRow kNewPicHeight{"Data", "NewPicHeight", -32768, 32767, ""};
inline constexpr SettingRow kPicRatio{"Data", "PicRatio", 1, 0, ""};
// The window's own choices: the interval's seconds, the magnifier (1 or 0),
// the format of every picture saved ("png" or "jpeg").
inline constexpr SettingRow kInterval{"View", "Interval", 1, 3600, "5"};
inline constexpr SettingRow kLoupe{"View", "Loupe", 0, 1, "0"};
inline constexpr SettingRow kFormat{"View", "Format", 1, 0, "jpeg"};
// The global key "画面をトリム" in Qt's portable form ("Ctrl+Alt+G"); none
// when empty.
inline constexpr SettingRow kTrimKey{"View", "TrimKey", 1, 0, ""};
// The desktop's token for the interval's screen cast, which lets the next
// run share the same monitor without asking; none when empty.
inline constexpr SettingRow kScreenCastToken{"View", "ScreenCastToken", 1, 0, ""};

// The frame's rows in the order the file holds them.
inline constexpr std::array<SettingRow, 9> kFrameRows = {kPicStartX,   kPicStartY,    kPicWidth,
                                                         kPicHeight,   kNewPicStartX, kNewPicStartY,
                                                         kNewPicWidth, kNewPicHeight, kPicRatio};
} // namespace setting

// The value stored for the row, or its fallback when there is none (as the
// profile layer reads it: "ERROR" for a missing key).
QString ReadRow(const SettingRow &row, const QString &settingsPath);
// A whole number within the row's range, or its fallback.
int ReadNumberRow(const SettingRow &row, const QString &settingsPath);
// Writes the value; false when trim.ini could not be written.
bool WriteRow(const SettingRow &row, const QString &value, const QString &settingsPath);

} // namespace orvelle
