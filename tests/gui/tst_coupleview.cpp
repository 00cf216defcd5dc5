// The couple view: the grid's rows, look and record positions, clicks that switch dances, the
// regular mark and the section, the delete command, the add button and the double click.

#include "coupleeditor.h"
#include "couplegridmodel.h"
#include "guitest.h"
#include "scriptedprompter.h"
#include "testfiles.h"
#include "twips.h"

#include <QAbstractItemModelTester>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTemporaryDir>

using namespace guitest;
using testfiles::couple;
using testfiles::member;

class TestCoupleView : public QObject, public MainWindowFixture {
    Q_OBJECT

private:
    CoupleGridView* m_grid = nullptr;
    // Checks the grid's model through every refill and click of every test.
    std::unique_ptr<QAbstractItemModelTester> m_modelTester;

    MemberRecord leader() const { return m_state.members.at(0); }
    MemberRecord partner(int i) const { return m_state.members.at(1 + i); }

    void startInCoupleView(const QList<CoupleRecord>& couples) {
        MainWindowFixture::startInCoupleView(couples);
        QCOMPARE(m_window->viewMode(), MainWindow::ViewMode::Couples);
        m_grid = child<CoupleGridView>(m_window.get(), "mfg_couple");
        QVERIFY(m_grid && m_grid->isVisible());
        m_modelTester = std::make_unique<QAbstractItemModelTester>(
            m_grid->model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
    }
    // Couples 30, 5 and 12 stored in that order, one partner each; 5 dances Tango.
    void startWithThreeSingles() {
        startInCoupleView({couple(30, leader(), {partner(0)}, {QStringLiteral("W")}),
                           couple(5, leader(), {partner(1)}, {QStringLiteral("T")}),
                           couple(12, leader(), {partner(2)}, {QStringLiteral("WQ")})});
    }
    // Couple 12 with three partners, couple 5 with one.
    void startWithThreePartners() {
        startInCoupleView({couple(12, leader(), {partner(0), partner(1), partner(2)},
                                  {QStringLiteral("W"), QStringLiteral("T"), QStringLiteral("R")}),
                           couple(5, leader(), {partner(1)}, {QStringLiteral("C")})});
    }
    void pressDelete() { QTest::mouseClick(child<QPushButton>(m_window.get(), "cmd_del"), Qt::LeftButton); }
    QString caption(int count) const {
        return QStringLiteral("カップル数 : ") + QString::number(count) + QStringLiteral("   ファイル名 : t.ent");
    }
    QStringList column(int c) const {
        QStringList texts;
        for (int row = 0; row < m_grid->model()->rowCount(); ++row)
            texts << cell(m_grid, row, c);
        return texts;
    }
    // The record positions every row carries in `role`, top row first.
    QList<int> positions(int role) const {
        QList<int> result;
        for (int row = 0; row < m_grid->model()->rowCount(); ++row)
            result << m_grid->model()->index(row, 0).data(role).toInt();
        return result;
    }

private slots:
    void init() {
        resetState({member(QStringLiteral("山田"), QStringLiteral("やまだ"), 3, 0),
                    member(QStringLiteral("佐藤"), QStringLiteral("さとう"), 2, 1),
                    member(QStringLiteral("鈴木"), QStringLiteral("すずき"), 1, 1),
                    member(QStringLiteral("高橋"), QStringLiteral("たかはし"), 1, 1)});
    }
    void cleanup() {
        m_modelTester.reset();
        closeWindow();
        m_grid = nullptr;
    }

    void rowsInBackNumberOrderWithTheirPositions() {
        startWithThreeSingles();
        QCOMPARE(m_window->windowTitle(), caption(3));
        QCOMPARE(m_grid->model()->rowCount(), 4);
        QCOMPARE(m_grid->model()->columnCount(), 13);
        QCOMPARE(m_grid->rows().at(0).texts, couple_grid_titles());
        QCOMPARE(column(0), (QStringList{QStringLiteral("背番号"), QStringLiteral("5"), QStringLiteral("12"),
                                         QStringLiteral("30")}));
        QCOMPARE(positions(CoupleGridModel::CouplePositionRole), (QList<int>{-1, 1, 2, 0}));
        QCOMPARE(positions(CoupleGridModel::PartnerPositionRole), (QList<int>{-1, 0, 0, 0}));
        QCOMPARE(column(4), (QStringList{QStringLiteral("T"), QStringLiteral("○"), QString(), QString()}));
    }

    void gridLook() {
        startWithThreeSingles();
        QVERIFY(!m_grid->horizontalHeader()->isVisible());
        QVERIFY(!m_grid->verticalHeader()->isVisible());
        QCOMPARE(m_grid->columnWidth(1), twips::toPixelsX(1500, m_grid));
        QCOMPARE(m_grid->columnWidth(2), twips::toPixelsX(1500, m_grid));
        for (int c = 3; c <= 10; ++c)
            QCOMPARE(m_grid->columnWidth(c), twips::toPixelsX(500, m_grid));
        QCOMPARE(m_grid->font().pointSize(), 12);
        const QModelIndex title = m_grid->model()->index(0, 5);
        QCOMPARE(title.data(Qt::BackgroundRole).value<QBrush>().color(), m_grid->palette().color(QPalette::Dark));
        QCOMPARE(title.data(Qt::ForegroundRole).value<QBrush>().color(), QColor(255, 255, 255));
        QVERIFY(!m_grid->model()->index(1, 5).data(Qt::BackgroundRole).isValid());
        QCOMPARE(m_grid->model()->index(1, 1).data(Qt::TextAlignmentRole).value<Qt::Alignment>(),
                 Qt::AlignLeft | Qt::AlignTop);
        QCOMPARE(m_grid->model()->index(1, 0).data(Qt::TextAlignmentRole).value<Qt::Alignment>(),
                 Qt::Alignment(Qt::AlignCenter));
    }

    void threePartnerCoupleTakesThreeRows() {
        startWithThreePartners();
        m_state.couples[0].regular = 1;
        m_state.couples[0].section = 1;
        m_window->refillCoupleGrid();
        // Couple 5 first, then the three rows of couple 12.
        QCOMPARE(column(0).mid(1), (QStringList{QStringLiteral("5"), QStringLiteral("12"), QString(), QString()}));
        QCOMPARE(column(1).mid(2), (QStringList{QStringLiteral("山田"), QString(), QString()}));
        QCOMPARE(column(2).mid(2),
                 (QStringList{QStringLiteral("佐藤"), QStringLiteral("鈴木"), QStringLiteral("高橋")}));
        QCOMPARE(positions(CoupleGridModel::CouplePositionRole).mid(2), (QList<int>{0, 0, 0}));
        QCOMPARE(positions(CoupleGridModel::PartnerPositionRole).mid(2), (QList<int>{0, 1, 2}));
        QCOMPARE(column(11).mid(2), (QStringList{QStringLiteral("◎"), QStringLiteral("◎"), QStringLiteral("◎")}));
        QCOMPARE(column(12).mid(2),
                 (QStringList{QStringLiteral("Latin"), QStringLiteral("Latin"), QStringLiteral("Latin")}));
    }

    void clickingADanceCellSwitchesIt() {
        startWithThreeSingles();
        clickCell(m_grid, 1, 4); // couple 5, Tango
        QCOMPARE(cell(m_grid, 1, 4), QString());
        QCOMPARE(m_state.couples.at(1).partnerDances.at(0), QString());
        QCOMPARE(m_state.couples.at(1).danceFlags.at(1), -1);
        QCOMPARE(m_state.entryChanged, true);
        QCOMPARE(m_window->currentCouple(), 1);
        QCOMPARE(m_grid->currentIndex(), m_grid->model()->index(1, 4)); // the refill keeps the current cell

        clickCell(m_grid, 2, 3); // couple 12 holds WQ: W goes, Q stays
        QCOMPARE(m_state.couples.at(2).partnerDances.at(0), QStringLiteral("Q"));
        clickCell(m_grid, 2, 3);
        QCOMPARE(m_state.couples.at(2).partnerDances.at(0), QStringLiteral("QW"));
        QCOMPARE(cell(m_grid, 2, 3), QStringLiteral("○"));
    }

    // A click on the leader's name changes nothing and does not rebuild the grid, but makes that couple
    // current, so that a double click opens it.
    void leaderClickSelectsTheCoupleForTheEditor() {
        startWithThreeSingles();
        QSignalSpy resets(m_grid->model(), &QAbstractItemModel::modelReset);
        clickCell(m_grid, 3, 1);
        QCOMPARE(m_window->currentCouple(), 0);
        QCOMPARE(resets.size(), 0);
        QCOMPARE(m_state.entryChanged, false);
        doubleClickCell(m_grid, 3, 1);
        QVERIFY(m_window->coupleEditor() && m_window->coupleEditor()->isVisible());
        QCOMPARE(child<QLineEdit>(m_window->coupleEditor(), "txt_pnum")->text(), QStringLiteral("30"));
        QCOMPARE(resets.size(), 0);
    }

    // The first click of a double click on a dance cell switches the dance once; the second opens the editor.
    void doubleClickOnADanceCell() {
        startWithThreeSingles();
        doubleClickCell(m_grid, 1, 4);
        QCOMPARE(m_state.couples.at(1).partnerDances.at(0), QString());
        QVERIFY(m_window->coupleEditor() && m_window->coupleEditor()->isVisible());
        QCOMPARE(child<QLineEdit>(m_window->coupleEditor(), "txt_pnum")->text(), QStringLiteral("5"));
        clickCell(m_grid, 1, 4); // the next single click is a click again
        QCOMPARE(m_state.couples.at(1).partnerDances.at(0), QStringLiteral("T"));
    }

    void titleDanceClickInvertsTheSingles() {
        startInCoupleView({couple(30, leader(), {partner(0)}, {QStringLiteral("W")}),
                           couple(5, leader(), {partner(1)}, {QStringLiteral("T")}),
                           couple(12, leader(), {partner(0), partner(2)}, {QStringLiteral("W"), QStringLiteral("Q")})});
        m_prompter.setNextAnswer(false);
        clickCell(m_grid, 0, 4);
        QCOMPARE(
            m_prompter.questions(),
            QStringList{QStringLiteral("シングルのカップルのみ T　の出場種目表示を反転させます。よろしいですか？")});
        QCOMPARE(m_state.entryChanged, false);
        m_prompter.setNextAnswer(true);
        clickCell(m_grid, 0, 4);
        // Rows: 5, 12 (two rows), 30.
        QCOMPARE(column(4), (QStringList{QStringLiteral("T"), QString(), QString(), QString(), QStringLiteral("○")}));
        QCOMPARE(m_state.entryChanged, true);
    }

    void titleClickOnAnEmptyGridDoesNothing() {
        startInCoupleView({});
        m_prompter.setNextAnswer(true);
        clickCell(m_grid, 0, 3);
        QVERIFY(m_prompter.shown().isEmpty());
        QCOMPARE(m_grid->currentIndex().row(), 0);
        pressDelete();
        QVERIFY(m_prompter.shown().isEmpty());
    }

    void deleteOneCouple() {
        startWithThreeSingles();
        clickCell(m_grid, 2, 5);
        m_prompter.setNextAnswer(true);
        pressDelete();
        QCOMPARE(m_prompter.questions(), QStringList{QStringLiteral("12 番を消去します。よろしいですか？")});
        QCOMPARE(m_window->windowTitle(), caption(2));
        QCOMPARE(column(0).mid(1), (QStringList{QStringLiteral("5"), QStringLiteral("30")}));
        QCOMPARE(m_state.entryChanged, true);
    }

    void deleteAnsweredNoStillRebuilds() {
        startWithThreeSingles();
        clickCell(m_grid, 2, 1);
        QSignalSpy resets(m_grid->model(), &QAbstractItemModel::modelReset);
        m_prompter.setNextAnswer(false);
        pressDelete();
        QCOMPARE(resets.size(), 1);
        QCOMPARE(m_state.coupleCount, 3);
        QCOMPARE(m_state.entryChanged, false);
    }

    void deleteARangeOfRows() {
        startWithThreePartners();
        clickCell(m_grid, 1, 2);
        clickCell(m_grid, 2, 2, Qt::ShiftModifier); // rows 1..2 touch both couples
        QCOMPARE(m_grid->cursor().otherRow, 1);
        m_prompter.setNextAnswer(true);
        pressDelete();
        QCOMPARE(m_prompter.questions().constLast(),
                 QStringLiteral("選択されているカップル消去します。よろしいですか？"));
        QCOMPARE(m_state.coupleCount, 0);
        QCOMPARE(m_grid->model()->rowCount(), 1);
        QCOMPARE(m_window->windowTitle(), caption(0));
        // The current couple now lies beyond the list: a double click opens nothing.
        doubleClickCell(m_grid, 0, 1);
        QVERIFY(!m_window->coupleEditor());
    }

    void deleteOnePartner() {
        startWithThreePartners();
        clickCell(m_grid, 3, 2); // couple 12, second partner
        m_prompter.setNextAnswer(true);
        pressDelete();
        QCOMPARE(m_prompter.questions(), QStringList{QStringLiteral("12 番の 鈴木 を消去します。よろしいですか？")});
        QCOMPARE(m_state.couples.at(0).partnerCount, 2);
        QCOMPARE(m_state.couples.at(0).partnerDances, (QStringList{QStringLiteral("W"), QStringLiteral("R")}));
        QCOMPARE(column(2).mid(1),
                 (QStringList{QStringLiteral("鈴木"), QStringLiteral("佐藤"), QStringLiteral("高橋")}));
        QCOMPARE(m_grid->currentIndex().row(), 0);
        QCOMPARE(m_window->windowTitle(), caption(2));
    }

    void addNeedsALeaderAndAPartner() {
        m_state.members = {member(QStringLiteral("山田"), QStringLiteral("やまだ"), 3, 0),
                           member(QStringLiteral("田中"), QStringLiteral("たなか"), 2, 0)};
        m_state.memberCount = 2;
        startInCoupleView({});
        QTest::mouseClick(child<QPushButton>(m_window.get(), "cmd_add"), Qt::LeftButton);
        QCOMPARE(m_prompter.messages(), QStringList{QStringLiteral("リーダー、パートナーを1人以上作ってください。")});
        QCOMPARE(m_prompter.shown().constLast().icon, Prompter::Icon::Stop);
        QVERIFY(!m_window->coupleEditor());

        m_state.members[1].role = 1;
        QTest::mouseClick(child<QPushButton>(m_window.get(), "cmd_add"), Qt::LeftButton);
        QVERIFY(m_window->coupleEditor() && m_window->coupleEditor()->isVisible());
        QCOMPARE(m_window->coupleEditor()->objectName(), QStringLiteral("frm_couple"));
    }
};

QTEST_MAIN(TestCoupleView)
#include "tst_coupleview.moc"
