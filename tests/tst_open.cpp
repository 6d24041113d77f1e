#include <QTest>

class tst_open : public QObject {
  Q_OBJECT
};

QTEST_MAIN(tst_open)
#include "tst_open.moc"
