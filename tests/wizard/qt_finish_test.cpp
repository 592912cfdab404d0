// qt_finish_test.cpp - Finish and Cancel with the real generator library, in a temporary current
// directory. The library keeps its state for the whole process, so each run is a process of its
// own: ctest starts this program once per test function.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include "qt_session.hpp"

using namespace plinthor::testing;

class FinishOnQt : public QObject {
    Q_OBJECT

private slots:
    void init() {
        QVERIFY(dir_.isValid());
        QVERIFY(QDir(dir_.path()).mkdir("skels"));
        QFile skeleton(dir_.filePath("skels/template.skl"));
        QVERIFY(skeleton.open(QIODevice::WriteOnly));
        skeleton.write(
            "Before\n+File:.one\n@TEMPLATE_NAME@|@SOURCE_LANGUAGE@\n+File:.two\n"
            "@SOURCE_EXTENSION@ @EXTERNAL_EXTENSION@ @DOCUMENT_EXTENSION@\n");
        skeleton.close();
        QVERIFY(QDir::setCurrent(dir_.path()));
    }

    void finishWritesTheSkeletonsFiles() {
        Session s;
        const int status =
            s.play({key(Qt::Key_Return), pageShows("?STRING2:7"), type("my template"), key(Qt::Key_Tab),
                    type("mtp"), key(Qt::Key_Return), pageShows("?STRING3A:7"), type("cobol"),
                    key(Qt::Key_Tab), type("cbl"), key(Qt::Key_Tab), type("cpy"), key(Qt::Key_Tab),
                    type("txt"), key(Qt::Key_Return), pageShows("?STRING6:2"), key(Qt::Key_Return)},
                   &vdgentemplate);
        QCOMPARE(status, 0);
        QVERIFY(!s.timedOut);
        QCOMPARE(read("mtp.one"), QByteArray("My Template|Cobol\r\n"));
        QCOMPARE(read("mtp.two"), QByteArray("cbl cpy txt\r\n"));
    }

    void cancelWritesNothing() {
        Session s;
        s.play({key(Qt::Key_Return), pageShows("?STRING2:7"), type("my template"), key(Qt::Key_Tab),
                type("mtp"), act([] { control<QPushButton>("?CLOSE")->click(); })},
               &vdgentemplate);
        QVERIFY(!s.timedOut);
        QCOMPARE(QDir(dir_.path()).entryList(QDir::Files), QStringList());
    }

private:
    QByteArray read(const QString& name) const {
        QFile f(dir_.filePath(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }

    QTemporaryDir dir_;
};

QTEST_MAIN(FinishOnQt)
#include "qt_finish_test.moc"
