#include "tests/support/qt_test_main.h"
class T : public QObject { Q_OBJECT };
ORVELLE_QTEST_MAIN(T)
#include "export_test.moc"
