#include <QTest>

class tst_about : public QObject {
  Q_OBJECT
};

QTEST_MAIN(tst_about)
#include "tst_about.moc"
