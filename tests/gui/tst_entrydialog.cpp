#include "cp932.h"
#include "datafiles.h"
#include "entrydialog.h"
#include "export.h"
#include "japanesefont.h"
#include "scriptedprompter.h"
#include "testfiles.h"
#include "twips.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QScopeGuard>
#include <QScreen>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>

using testfiles::member;

namespace {

template <typename T> T* child(QObject* parent, const char* name) {
    T* found = parent->findChild<T*>(QString::fromLatin1(name));
    if (!found)
        qWarning("no control %s", name);
    return found;
}

void writeGameNames(const AppState& state, const QString& text) {
    QByteArray bytes;
    QVERIFY(cp932::encode(text, &bytes));
    testfiles::writeBytes(state.gameNamesPath(), bytes);
}

const QString kGameNames = QStringLiteral("3\r\n秋の部内戦\r\n春季大会\r\n秋の部内戦\r\n");

UniversityInfo sampleInfo() {
    UniversityInfo info;
    info.university = QStringLiteral("蒼嶺大学");
    info.partnerSchool = QStringLiteral("蒼嶺短大");
    info.head = QStringLiteral("山本");
    info.manager = QStringLiteral("中村");
    info.leagueMember = QStringLiteral("小林");
    info.comment = QStringLiteral("一行目\r\n二行目");
    info.gameName = QStringLiteral("春季大会");
    return info;
}

// Runs the modal university dialog; `steps` drives it while it is open and it is closed afterwards
// whatever happened, so a failed check cannot leave the test waiting.
void runUniversityDialog(AppState& state, Prompter& prompter, const std::function<void(EntryDialog*)>& steps) {
    bool ran = false;
    QTimer::singleShot(0, [&] {
        EntryDialog* dialog = nullptr;
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (window->objectName() == QStringLiteral("frm_entry") && window->isVisible())
                dialog = qobject_cast<EntryDialog*>(window);
        }
        QPointer<EntryDialog> guard = dialog;
        const auto closer = qScopeGuard([&] {
            if (guard && guard->isVisible())
                guard->close();
        });
        QVERIFY(dialog);
        ran = true;
        steps(dialog);
    });
    EntryDialog::openUniversityInfo(state, prompter);
    QVERIFY(ran);
}

UniversityInfo readUniversityFile(const QString& path) {
    AppState read;
    read_university_file(path, read);
    return read.universityInfo;
}

struct ExportFixture {
    QTemporaryDir dir;
    AppState state = testfiles::stateIn(dir);
    ScriptedPrompter prompter;

    ExportFixture() {
        writeGameNames(state, kGameNames);
        state.universityInfo = sampleInfo();
        state.universityInfo.gameName = QStringLiteral("秋の部内戦");
        const MemberRecord leader = member(QStringLiteral("佐藤"), QStringLiteral("さとう"), 2, 0);
        const MemberRecord partner = member(QStringLiteral("伊藤"), QStringLiteral("いとう"), 3, 1);
        state.couples = {testfiles::couple(5, leader, {partner}, {QStringLiteral("W")}),
                         testfiles::couple(9, leader, {partner}, {QStringLiteral("T")})};
        state.couples[0].university = QStringLiteral("旧名");
        state.coupleCount = 2;
        state.entryFileName = QStringLiteral("秋季戦.ent");
        state.entryChanged = true;
    }
};

} // namespace

class TestEntryDialog : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { install_japanese_font_substitutions(); }

    void controls() {
        QTemporaryDir dir;
        AppState state = testfiles::stateIn(dir);
        ScriptedPrompter prompter;
        auto* dialog = new EntryDialog(state, prompter);
        QCOMPARE(dialog->objectName(), QStringLiteral("frm_entry"));
        QCOMPARE(dialog->windowTitle(), QStringLiteral("エントリー作成"));
        QVERIFY(dialog->testAttribute(Qt::WA_DeleteOnClose));
        QVERIFY(!child<QComboBox>(dialog, "cmb_Gname")->isEditable());
        QCOMPARE(child<QLabel>(dialog, "lbl_University")->toolTip(), QStringLiteral("必ず書いてください。"));
        QCOMPARE(child<QLabel>(dialog, "lbl_Gname")->toolTip(), QStringLiteral("ファイル名に使うだけです。"));
        QVERIFY(child<QPushButton>(dialog, "cmd_OK")->isDefault());
        // Without Gamename.txt the list is empty and nothing is selected.
        QCOMPARE(child<QComboBox>(dialog, "cmb_Gname")->count(), 0);
        QCOMPARE(child<QComboBox>(dialog, "cmb_Gname")->currentIndex(), -1);
        delete dialog;
    }

    void universityModeLayout() {
        QTemporaryDir dir;
        AppState state = testfiles::stateIn(dir);
        ScriptedPrompter prompter;
        runUniversityDialog(state, prompter, [&](EntryDialog* dialog) {
            QCOMPARE(dialog->mode(), EntryDialog::Mode::University);
            QCOMPARE(QApplication::activeModalWidget(), dialog);
            auto* ok = child<QPushButton>(dialog, "cmd_OK");
            auto* league = child<QLineEdit>(dialog, "txt_Leaguemember");
            QVERIFY(ok->isVisible());
            QVERIFY(!child<QPushButton>(dialog, "cmd_Cancel")->isVisible());
            QVERIFY(!child<QComboBox>(dialog, "cmb_Gname")->isVisible());
            QCOMPARE(ok->y(), league->geometry().bottom() + 1);
            QCOMPARE(ok->x(), twips::toPixelsX(3645, dialog));
            QCOMPARE(dialog->height(), ok->geometry().bottom() + 1);
            const QRect screen = dialog->screen()->geometry();
            QVERIFY(qAbs(dialog->frameGeometry().center().x() - screen.center().x()) <= 1);
            QVERIFY(qAbs(dialog->frameGeometry().center().y() - screen.center().y()) <= 1);
            QCOMPARE(dialog->focusWidget(), child<QLineEdit>(dialog, "txt_University"));
            for (const char* box : {"txt_University", "txt_PartnerSchool", "txt_Head", "txt_Manager"})
                QVERIFY(child<QLineEdit>(dialog, box)->text().isEmpty());

            // No university name: the message, the dialog stays, no file.
            QTest::mouseClick(ok, Qt::LeftButton);
            QCOMPARE(prompter.messages(), QStringList{QStringLiteral("大学名を必ず入力してください。")});
            QCOMPARE(prompter.shown().first().icon, Prompter::Icon::Information);
            QVERIFY(dialog->isVisible());
        });
        QVERIFY(!QFile::exists(state.universityFilePath()));
        QCOMPARE(state.universityInfo, UniversityInfo{});
    }

    void universityModeStores_data() {
        QTest::addColumn<QString>("gameNames");
        QTest::addColumn<QString>("storedGame");
        QTest::addColumn<int>("selectedIndex");
        QTest::addColumn<QString>("writtenGame");
        QTest::newRow("stored name listed")
            << kGameNames << QStringLiteral("春季大会") << 1 << QStringLiteral("春季大会");
        QTest::newRow("listed twice: the later one")
            << kGameNames << QStringLiteral("秋の部内戦") << 2 << QStringLiteral("秋の部内戦");
        QTest::newRow("no longer listed: the first")
            << kGameNames << QStringLiteral("消えた大会") << 0 << QStringLiteral("秋の部内戦");
        QTest::newRow("no Gamename.txt") << QString() << QStringLiteral("春季大会") << -1 << QString();
    }

    void universityModeStores() {
        QFETCH(QString, gameNames);
        QFETCH(QString, storedGame);
        QFETCH(int, selectedIndex);
        QFETCH(QString, writtenGame);
        QTemporaryDir dir;
        AppState state = testfiles::stateIn(dir);
        if (!gameNames.isEmpty())
            writeGameNames(state, gameNames);
        state.universityInfo = sampleInfo();
        state.universityInfo.gameName = storedGame;
        ScriptedPrompter prompter;
        runUniversityDialog(state, prompter, [&](EntryDialog* dialog) {
            QCOMPARE(child<QComboBox>(dialog, "cmb_Gname")->currentIndex(), selectedIndex);
            QCOMPARE(child<QLineEdit>(dialog, "txt_University")->text(), QStringLiteral("蒼嶺大学"));
            QCOMPARE(child<QPlainTextEdit>(dialog, "txt_Comment")->blockCount(), 2);
            child<QLineEdit>(dialog, "txt_Head")->setText(QStringLiteral("新部長"));
            QTest::mouseClick(child<QPushButton>(dialog, "cmd_OK"), Qt::LeftButton);
            QVERIFY(!dialog->isVisible());
        });
        QVERIFY(prompter.messages().isEmpty());
        UniversityInfo expected = sampleInfo();
        expected.head = QStringLiteral("新部長");
        expected.gameName = writtenGame;
        QCOMPARE(state.universityInfo, expected);
        QCOMPARE(readUniversityFile(state.universityFilePath()), expected);
        // The comment keeps its CR LF in the file.
        QVERIFY(testfiles::readBytes(state.universityFilePath()).contains(QByteArray("\r\n")));
    }

    void closeBoxLeavesEverything() {
        QTemporaryDir dir;
        AppState state = testfiles::stateIn(dir);
        writeGameNames(state, kGameNames);
        state.universityInfo = sampleInfo();
        QVERIFY(write_university_file(state.universityFilePath(), state.universityInfo));
        const QByteArray bytes = testfiles::readBytes(state.universityFilePath());
        ScriptedPrompter prompter;
        runUniversityDialog(state, prompter, [&](EntryDialog* dialog) {
            child<QLineEdit>(dialog, "txt_University")->setText(QStringLiteral("別の大学"));
            dialog->close();
        });
        QCOMPARE(state.universityInfo, sampleInfo());
        QCOMPARE(testfiles::readBytes(state.universityFilePath()), bytes);
        QVERIFY(prompter.shown().isEmpty());
    }

    void universityModeRefusals_data() {
        QTest::addColumn<bool>("folderMissing");
        QTest::addColumn<QString>("head");
        QTest::addColumn<QString>("expected"); // a part of the message
        QTest::newRow("character code page 932 cannot store")
            << false << QString::fromUtf8("\xF0\xA0\xAE\xB7野") << QStringLiteral("部長");
        QTest::newRow("uniinf.dat cannot be written") << true << QStringLiteral("山本") << QStringLiteral("uniinf.dat");
    }

    void universityModeRefusals() {
        QFETCH(bool, folderMissing);
        QFETCH(QString, head);
        QFETCH(QString, expected);
        QTemporaryDir dir;
        AppState state = testfiles::stateIn(dir);
        if (folderMissing)
            state.appFolder += QStringLiteral("missing/");
        ScriptedPrompter prompter;
        runUniversityDialog(state, prompter, [&](EntryDialog* dialog) {
            child<QLineEdit>(dialog, "txt_University")->setText(QStringLiteral("蒼嶺大学"));
            child<QLineEdit>(dialog, "txt_Head")->setText(head);
            QTest::mouseClick(child<QPushButton>(dialog, "cmd_OK"), Qt::LeftButton);
            QVERIFY(dialog->isVisible());
            QCOMPARE(child<QLineEdit>(dialog, "txt_Head")->text(), head);
        });
        QCOMPARE(prompter.messages().size(), 1);
        QVERIFY2(prompter.messages().first().contains(expected), qPrintable(prompter.messages().first()));
        QCOMPARE(state.universityInfo, UniversityInfo{});
        QVERIFY(!QFile::exists(state.universityFilePath()));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::NoDotAndDotDot), QStringList{});
    }

    void exportModeLayoutAndReopen() {
        ExportFixture f;
        QPointer<EntryDialog> dialog = new EntryDialog(f.state, f.prompter);
        dialog->openExport();
        QCOMPARE(dialog->mode(), EntryDialog::Mode::Export);
        QVERIFY(dialog->isVisible());
        QVERIFY(!dialog->isModal());
        auto* ok = child<QPushButton>(dialog, "cmd_OK");
        auto* cancel = child<QPushButton>(dialog, "cmd_Cancel");
        auto* comment = child<QPlainTextEdit>(dialog, "txt_Comment");
        QVERIFY(cancel->isVisible());
        QVERIFY(comment->isVisible());
        QVERIFY(child<QComboBox>(dialog, "cmb_Gname")->isVisible());
        QCOMPARE(ok->y(), comment->geometry().bottom() + 1);
        QCOMPARE(cancel->y(), ok->y());
        QCOMPARE(ok->geometry().right() + 1, cancel->x());
        QCOMPARE(dialog->height(), ok->geometry().bottom() + 1);
        QCOMPARE(child<QComboBox>(dialog, "cmb_Gname")->currentIndex(), 2);
        QCOMPARE(child<QLineEdit>(dialog, "txt_University")->selectedText(), QStringLiteral("蒼嶺大学"));

        // A second press starts over from universityInfo; the competition list is not read again.
        child<QLineEdit>(dialog, "txt_University")->setText(QStringLiteral("書きかけ"));
        child<QComboBox>(dialog, "cmb_Gname")->setCurrentIndex(1);
        writeGameNames(f.state, QStringLiteral("1\r\n新しい大会\r\n"));
        f.state.universityInfo.gameName = QStringLiteral("消えた大会");
        dialog->openExport();
        QCOMPARE(child<QLineEdit>(dialog, "txt_University")->text(), QStringLiteral("蒼嶺大学"));
        QCOMPARE(child<QComboBox>(dialog, "cmb_Gname")->count(), 3);
        QCOMPARE(child<QComboBox>(dialog, "cmb_Gname")->currentIndex(), 0);

        QTest::mouseClick(cancel, Qt::LeftButton);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!dialog);
        QCOMPARE(f.state.entryChanged, true);
        QVERIFY(!QFile::exists(f.state.universityFilePath()));
    }

    void exportChecks_data() {
        QTest::addColumn<bool>("withNames");
        QTest::addColumn<QString>("university");
        QTest::addColumn<QString>("message");
        QTest::newRow("no university") << true << QString() << QStringLiteral("大学名を必ず入力してください。");
        QTest::newRow("no university and no competition")
            << false << QString() << QStringLiteral("大学名を必ず入力してください。");
        QTest::newRow("no competition") << false << QStringLiteral("蒼嶺大学")
                                        << QStringLiteral("試合名を必ず選択してください。");
    }

    void exportChecks() {
        QFETCH(bool, withNames);
        QFETCH(QString, university);
        QFETCH(QString, message);
        ExportFixture f;
        if (!withNames)
            QFile::remove(f.state.gameNamesPath());
        const QList<CoupleRecord> couples = f.state.couples;
        auto* dialog = new EntryDialog(f.state, f.prompter);
        dialog->openExport();
        child<QLineEdit>(dialog, "txt_University")->setText(university);
        QTest::mouseClick(child<QPushButton>(dialog, "cmd_OK"), Qt::LeftButton);
        QCOMPARE(f.prompter.messages(), QStringList{message});
        QCOMPARE(f.prompter.shown().first().icon, Prompter::Icon::Information);
        QVERIFY(dialog->isVisible());
        QCOMPARE(f.state.couples, couples);
        QVERIFY(!QFile::exists(f.state.universityFilePath()));
        delete dialog;
    }

    // Steps up to the e-mail note have taken effect when the file dialog is cancelled.
    void cancelledFileDialogKeepsDialogOpen() {
        ExportFixture f;
        auto* dialog = new EntryDialog(f.state, f.prompter);
        QSignalSpy exported(dialog, &EntryDialog::entryExported);
        dialog->openExport();
        child<QPlainTextEdit>(dialog, "txt_Comment")->setPlainText(QStringLiteral("よろしく\nお願いします"));
        QTest::mouseClick(child<QPushButton>(dialog, "cmd_OK"), Qt::LeftButton);

        const QList<ScriptedPrompter::Shown>& shown = f.prompter.shown();
        QCOMPARE(shown.size(), 2);
        QCOMPARE(shown[0].text, QStringLiteral("これから出力するファイルを E-Mail にて送ってください。"));
        QCOMPARE(shown[0].icon, Prompter::Icon::Exclamation);
        QCOMPARE(shown[1].kind, ScriptedPrompter::Shown::File);
        QCOMPARE(shown[1].file.title, QStringLiteral("エントリーデータの出力"));
        QCOMPARE(shown[1].file.filter, QStringLiteral("エントリーファイル (*.ent)|*.ent|"));
        QCOMPARE(shown[1].file.fileName, QStringLiteral("蒼嶺大学_秋の部内戦"));
        QVERIFY(!shown[1].file.open);
        // The save dialog starts where the officer looks (no export remembered here), never in the data folder.
        QCOMPARE(shown[1].file.initialFolder, export_start_folder(f.state, QString()));
        QVERIFY(shown[1].file.initialFolder != f.state.appFolder);

        QVERIFY(dialog->isVisible());
        QCOMPARE(exported.count(), 0);
        QCOMPARE(f.state.entryChanged, true);
        QCOMPARE(f.state.universityInfo.comment, QStringLiteral("よろしく\r\nお願いします"));
        QCOMPARE(readUniversityFile(f.state.universityFilePath()), f.state.universityInfo);
        for (qint32 i = 0; i < f.state.coupleCount; ++i) {
            QCOMPARE(f.state.couples[i].university, QStringLiteral("蒼嶺大学"));
            QCOMPARE(f.state.couples[i].gameName, QStringLiteral("秋の部内戦"));
        }
        QVERIFY(!QFile::exists(f.state.entryFilePath()));
        delete dialog;
    }

    void completedExport() {
        ExportFixture f;
        QTemporaryDir outbox;
        const QString typed = outbox.filePath(QStringLiteral("送付用"));
        const QString target = typed + QStringLiteral(".ent"); // an entry file the program opens again
        f.prompter.setNextFile(typed);
        QPointer<EntryDialog> dialog = new EntryDialog(f.state, f.prompter);
        QSignalSpy exported(dialog.data(), &EntryDialog::entryExported);
        dialog->openExport();
        child<QComboBox>(dialog, "cmb_Gname")->setCurrentIndex(1);
        QTest::mouseClick(child<QPushButton>(dialog, "cmd_OK"), Qt::LeftButton);
        QCOMPARE(exported.count(), 1);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!dialog);

        QCOMPARE(f.state.entryChanged, false);
        QCOMPARE(f.state.universityInfo.gameName, QStringLiteral("春季大会"));
        QCOMPARE(f.prompter.shown().at(1).file.fileName, QStringLiteral("蒼嶺大学_春季大会"));
        for (const QString& path : {target, f.state.entryFilePath()}) {
            AppState read;
            QVERIFY2(read_entry_file(path, read), qPrintable(path));
            QCOMPARE(read.coupleCount, 2);
            QCOMPARE(read.couples.mid(0, 2), f.state.couples.mid(0, 2));
            QCOMPARE(read.couples[0].university, QStringLiteral("蒼嶺大学"));
            QCOMPARE(read.couples[1].gameName, QStringLiteral("春季大会"));
            QCOMPARE(read.universityInfo, f.state.universityInfo);
        }
        QCOMPARE(readUniversityFile(f.state.universityFilePath()), f.state.universityInfo);
    }

    void failedWriteKeepsEntryUnsaved() {
        ExportFixture f;
        const QString target = f.dir.filePath(QStringLiteral("missing/送付用.ent"));
        f.prompter.setNextFile(target);
        auto* dialog = new EntryDialog(f.state, f.prompter);
        QSignalSpy exported(dialog, &EntryDialog::entryExported);
        dialog->openExport();
        QTest::mouseClick(child<QPushButton>(dialog, "cmd_OK"), Qt::LeftButton);

        const QStringList messages = f.prompter.messages();
        QCOMPARE(messages.size(), 2); // the e-mail note, then the failure
        QVERIFY2(messages.last().contains(QStringLiteral("送付用.ent")), qPrintable(messages.last()));
        QCOMPARE(f.prompter.shown().last().icon, Prompter::Icon::Stop);
        QVERIFY(dialog->isVisible());
        QCOMPARE(exported.count(), 0);
        QCOMPARE(f.state.entryChanged, true);
        QVERIFY(!QFile::exists(target));
        QVERIFY(!QFile::exists(f.state.entryFilePath()));
        delete dialog;
    }
};

QTEST_MAIN(TestEntryDialog)
#include "tst_entrydialog.moc"
