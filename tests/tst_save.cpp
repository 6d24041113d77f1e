#include <QTest>

class tst_save : public QObject {
  Q_OBJECT
};

QTEST_MAIN(tst_save)
#include "tst_save.moc"
