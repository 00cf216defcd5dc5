#include "coupleeditor.h"

#include "backnumber.h"
#include "deletion.h"
#include "dialogsupport.h"
#include "japanesefont.h"
#include "twips.h"

#include <QButtonGroup>
#include <QCloseEvent>
#include <QCollator>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>
#include <algorithm>

using dialogsupport::place;
using dialogsupport::place_growing;

namespace {

// Columns of the two member lists.
constexpr int kNameColumn = 0;
constexpr int kKanaColumn = 1;
constexpr int kIndexColumn = 2;

const char* const kRoleProperty = "roleCode";

const QString kFilterCaptions[] = {QStringLiteral("全"), QStringLiteral("１回"), QStringLiteral("２回"),
                                   QStringLiteral("３回"), QStringLiteral("４回")};

QLabel* makeHeading(QWidget* parent, const QString& objectName, const QString& text) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(objectName);
    label->setFont(ms_p_gothic(9.75));
    return label;
}

// A label that is as large as its text, at least one line high even while empty.
void sizeToText(QLabel* label) {
    const QSize hint = label->sizeHint();
    label->resize(qMax(hint.width(), 1), qMax(hint.height(), label->fontMetrics().height()));
}

// The year filter option that shows `year`; years outside 1..4 (only a damaged file holds one) show all.
int filterIndexOfYear(int year) {
    return year >= 1 && year <= 4 ? year : 0;
}

// The couple as the main window knows it: number, leader and partners. Dances, the regular mark and the
// section are switched in the grid while the editor may be open and are not part of it.
bool sameCouple(const CoupleRecord& a, const CoupleRecord& b) {
    if (a.backNumber != b.backNumber || a.leader != b.leader || a.partnerCount != b.partnerCount)
        return false;
    for (qint32 j = 0; j < a.partnerCount; ++j) {
        if (j >= a.partners.size() || j >= b.partners.size() || a.partners[j] != b.partners[j])
            return false;
    }
    return true;
}

} // namespace

CoupleEditor::CoupleEditor(AppState& state, Prompter& prompter, QWidget* parent)
    : QDialog(parent), m_state(state), m_prompter(prompter), m_working(new_couple_record(state.universityInfo)) {
    setObjectName(QStringLiteral("frm_couple"));
    setWindowTitle(QStringLiteral("カップル作成"));
    setFont(ms_p_gothic(9));
    dialogsupport::make_fixed_window(this, 7650, 4545);
    m_opened = m_working;

    Label1 = makeHeading(this, QStringLiteral("Label1"), QStringLiteral("背番号"));
    place_growing(Label1, 45, 90, 585, 195);

    txt_pnum = new QLineEdit(this);
    txt_pnum->setObjectName(QStringLiteral("txt_pnum"));
    txt_pnum->setFont(ms_p_gothic(12));
    place(txt_pnum, 795, 45, 675, 315);
    dialogsupport::select_all_on_double_click(txt_pnum);

    // Two lines: the caption's blanks were laid out so that it breaks after "キーを".
    Label4 = new QLabel(QStringLiteral("※ ダブルパートナー以上にしたいときは Ctrl キーを   　 "
                                       "押しながらパートナーを選択してください。"),
                        this);
    Label4->setObjectName(QStringLiteral("Label4"));
    Label4->setWordWrap(true);
    {
        const QString text = Label4->text();
        const QString firstLine = text.left(text.indexOf(QStringLiteral("キーを")) + 3);
        const QRect designed = twips::rect(1815, 75, 4050, 345, Label4);
        const int width = qMax(designed.width(), Label4->fontMetrics().horizontalAdvance(firstLine) + 2);
        Label4->setGeometry(designed.x(), designed.y(), width, qMax(designed.height(), Label4->heightForWidth(width)));
    }

    Frame1 = new QGroupBox(QStringLiteral("リーダー"), this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    place(Frame1, 30, 465, 2880, 4065);
    lvw_Leader = makeMemberList(Frame1, QStringLiteral("lvw_Leader"), 90, 1845);
    lvw_Leader->setProperty(kRoleProperty, 0);
    opt_L_Filter = new QButtonGroup(this);
    const int leaderTops[] = {255, 585, 900, 1230, 1560};
    for (int i = 0; i < 5; ++i) {
        auto* option = new QRadioButton(kFilterCaptions[i], Frame1);
        option->setObjectName(QStringLiteral("opt_L_Filter_%1").arg(i));
        place_growing(option, 1995, leaderTops[i], 675, 255);
        opt_L_Filter->addButton(option, i);
    }

    Frame2 = new QGroupBox(QStringLiteral("パートナー"), this);
    Frame2->setObjectName(QStringLiteral("Frame2"));
    place(Frame2, 2985, 465, 2880, 4065);
    lvw_Partner = makeMemberList(Frame2, QStringLiteral("lvw_Partner"), 90, 1905);
    lvw_Partner->setProperty(kRoleProperty, 1);
    opt_P_Filter = new QButtonGroup(this);
    const int partnerTops[] = {270, 600, 915, 1245, 1575};
    for (int i = 0; i < 5; ++i) {
        auto* option = new QRadioButton(kFilterCaptions[i], Frame2);
        option->setObjectName(QStringLiteral("opt_P_Filter_%1").arg(i));
        place_growing(option, 2055, partnerTops[i], 675, 255);
        opt_P_Filter->addButton(option, i);
    }
    opt_L_Filter->button(0)->setChecked(true);
    opt_P_Filter->button(0)->setChecked(true);

    Label2 = makeHeading(this, QStringLiteral("Label2"), QStringLiteral("リーダー"));
    place_growing(Label2, 6000, 555, 690, 195);
    lbl_Leader = new QLabel(this);
    lbl_Leader->setObjectName(QStringLiteral("lbl_Leader"));
    lbl_Leader->move(twips::toPixelsX(6000, this), twips::toPixelsY(810, this));
    sizeToText(lbl_Leader);
    Label3 = makeHeading(this, QStringLiteral("Label3"), QStringLiteral("パートナー"));
    place_growing(Label3, 6000, 1110, 855, 195);
    auto* firstPartner = new QLabel(this);
    firstPartner->setObjectName(QStringLiteral("lbl_partner_0"));
    firstPartner->move(twips::toPixelsX(6000, this), twips::toPixelsY(1380, this));
    sizeToText(firstPartner);
    lbl_partner.append(firstPartner);

    cmd_OK = new QPushButton(QStringLiteral("決定"), this);
    cmd_OK->setObjectName(QStringLiteral("cmd_OK"));
    place(cmd_OK, 6270, 3255, 1005, 555);
    cmd_Cancel = new QPushButton(QStringLiteral("キャンセル"), this);
    cmd_Cancel->setObjectName(QStringLiteral("cmd_Cancel"));
    place(cmd_Cancel, 6270, 3840, 1005, 555);
    // The editor has no default button: Enter in the number box stores nothing.
    cmd_OK->setAutoDefault(false);
    cmd_Cancel->setAutoDefault(false);

    setTabOrder(txt_pnum, lvw_Leader);
    setTabOrder(lvw_Leader, opt_L_Filter->button(0));
    setTabOrder(opt_L_Filter->button(0), lvw_Partner);
    setTabOrder(lvw_Partner, opt_P_Filter->button(0));
    setTabOrder(opt_P_Filter->button(0), cmd_OK);
    setTabOrder(cmd_OK, cmd_Cancel);

    connect(cmd_OK, &QPushButton::clicked, this, &CoupleEditor::cmd_OK_Click);
    connect(cmd_Cancel, &QPushButton::clicked, this, &CoupleEditor::cmd_Cancel_Click);
    connect(opt_L_Filter, &QButtonGroup::idClicked, this, &CoupleEditor::opt_L_Filter_Click);
    connect(opt_P_Filter, &QButtonGroup::idClicked, this, &CoupleEditor::opt_P_Filter_Click);
    // Every change of a list's selection made by the user (click, Ctrl+click, keys) is a choice.
    connect(lvw_Leader, &QTreeWidget::itemSelectionChanged, this, &CoupleEditor::lvw_Leader_Click);
    connect(lvw_Partner, &QTreeWidget::itemSelectionChanged, this, &CoupleEditor::lvw_Partner_Click);
}

QTreeWidget* CoupleEditor::makeMemberList(QGroupBox* frame, const QString& objectName, int left, int width) {
    auto* list = new QTreeWidget(frame);
    list->setObjectName(objectName);
    list->setFont(ms_p_gothic(12));
    list->setRootIsDecorated(false);
    list->setItemsExpandable(false);
    list->setUniformRowHeights(true);
    list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    list->setSortingEnabled(false);
    list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    place(list, left, 255, width, 3705);
    make_member_columns(list);
    return list;
}

void CoupleEditor::make_member_columns(QTreeWidget* list) {
    list->clear();
    list->setColumnCount(3);
    list->setHeaderLabels({QStringLiteral("名前"), QStringLiteral("かな"), QStringLiteral("インデックス")});
    list->header()->setSectionsClickable(false);
    list->header()->setSectionsMovable(false);
    // The name column is as wide as the list; the other two only carry data.
    list->header()->setStretchLastSection(true);
    list->setColumnWidth(kNameColumn, list->width() - 2 * list->frameWidth());
    list->setColumnHidden(kKanaColumn, true);
    list->setColumnHidden(kIndexColumn, true);
}

QList<qint32> CoupleEditor::collect_member_indexes(quint8 role, int yearFilter) const {
    QList<qint32> positions;
    const qint32 count = qMin<qint32>(m_state.memberCount, qint32(m_state.members.size()));
    for (qint32 i = 0; i < count; ++i) {
        const MemberRecord& member = m_state.members[i];
        if (member.role == role && (yearFilter == 0 || member.year == yearFilter))
            positions.append(i);
    }
    return positions;
}

void CoupleEditor::fill_member_list(QTreeWidget* list, int yearFilter) {
    const quint8 role = quint8(list->property(kRoleProperty).toInt());
    QList<qint32> positions = collect_member_indexes(role, yearFilter);

    // sort_member_list: ascending by reading, as a Japanese reader orders kana; equal readings keep
    // their roster order.
    QCollator collator{QLocale(QLocale::Japanese, QLocale::Japan)};
    std::stable_sort(positions.begin(), positions.end(), [&](qint32 a, qint32 b) {
        return collator.compare(m_state.members[a].kana, m_state.members[b].kana) < 0;
    });

    const bool wasUpdating = m_updatingLists;
    m_updatingLists = true;
    list->clear();
    QList<QTreeWidgetItem*> rows;
    for (const qint32 position : positions) {
        const MemberRecord& member = m_state.members[position];
        rows.append(new QTreeWidgetItem({member.name, member.kana, QString::number(position)}));
    }
    list->addTopLevelItems(rows);
    m_updatingLists = wasUpdating;
}

void CoupleEditor::selectFilter(QButtonGroup* group, int index) {
    group->button(index)->setChecked(true);
}

void CoupleEditor::start_make_couple(qint32 position) {
    // Only -1 or an existing couple can be edited; anything else would read outside the couple list.
    if (position >= m_state.coupleCount || position >= m_state.couples.size())
        return;

    if (position < 0) {
        m_editPosition = -1;
        m_working = new_couple_record(m_state.universityInfo);
        m_opened = m_working;
        fill_member_list(lvw_Leader, m_leaderFilter);
        fill_member_list(lvw_Partner, m_partnerFilter);
        txt_pnum->setText(propose_back_number(txt_pnum->text()));
        show_couple_names(true);
    } else {
        m_working = m_state.couples[position];
        m_opened = m_working;
        m_editPosition = position;
        show_couple_names(false);

        const int leaderIndex = filterIndexOfYear(m_working.leader.year);
        selectFilter(opt_L_Filter, leaderIndex);
        opt_L_Filter_Click(leaderIndex);

        int partnerIndex = 0;
        if (m_working.partnerCount > 0 && !m_working.partners.isEmpty()) {
            const quint8 firstYear = m_working.partners[0].year;
            bool allEqual = true;
            for (qint32 j = 1; j < m_working.partnerCount && j < m_working.partners.size(); ++j)
                allEqual = allEqual && m_working.partners[j].year == firstYear;
            if (allEqual)
                partnerIndex = filterIndexOfYear(firstYear);
        }
        selectFilter(opt_P_Filter, partnerIndex);
        opt_P_Filter_Click(partnerIndex);
    }

    // No row is selected when the dialog opens; the labels show the current choice.
    m_updatingLists = true;
    dialogsupport::clear_lvw_selection(lvw_Leader);
    dialogsupport::clear_lvw_selection(lvw_Partner);
    m_updatingLists = false;

    // A request while the dialog is still open brings it to the front.
    if (isVisible())
        raise();
    show();
    activateWindow();
    txt_pnum->setFocus(Qt::OtherFocusReason);
    dialogsupport::select_all_text(txt_pnum);
}

void CoupleEditor::show_couple_names(bool keepNumber) {
    lbl_partner[0]->hide();
    while (lbl_partner.size() > 1)
        delete lbl_partner.takeLast();

    lbl_Leader->setText(m_working.leader.name);
    sizeToText(lbl_Leader);

    const qint32 count = qMin<qint32>(m_working.partnerCount, qint32(m_working.partners.size()));
    for (qint32 j = 0; j < count; ++j) {
        if (j >= lbl_partner.size()) {
            QLabel* previous = lbl_partner[j - 1];
            auto* label = new QLabel(this);
            label->setObjectName(QStringLiteral("lbl_partner_%1").arg(j));
            label->setFont(lbl_partner[0]->font());
            label->move(previous->x(), previous->y() + previous->height() + twips::toPixelsY(50, this));
            lbl_partner.append(label);
        }
        QLabel* label = lbl_partner[j];
        label->setText(m_working.partners[j].name);
        sizeToText(label);
        label->show();
    }

    if (!keepNumber)
        txt_pnum->setText(QString::number(m_working.backNumber));
}

void CoupleEditor::opt_L_Filter_Click(int index) {
    fill_member_list(lvw_Leader, index);
    m_leaderFilter = index;
}

void CoupleEditor::opt_P_Filter_Click(int index) {
    fill_member_list(lvw_Partner, index);
    m_partnerFilter = index;
}

// The member of a list row, provided the roster still holds it at the row's position.
bool CoupleEditor::rowMember(const QTreeWidget* list, int row, MemberRecord& member) const {
    const QTreeWidgetItem* item = list->topLevelItem(row);
    if (!item)
        return false;
    bool ok = false;
    const qint32 position = item->text(kIndexColumn).toInt(&ok);
    if (!ok || position < 0 || position >= m_state.memberCount || position >= m_state.members.size())
        return false;
    const MemberRecord& candidate = m_state.members[position];
    if (candidate.name != item->text(kNameColumn) || candidate.kana != item->text(kKanaColumn) ||
        candidate.role != list->property(kRoleProperty).toInt())
        return false;
    member = candidate;
    return true;
}

// True when the list shows exactly what filling it now would show.
bool CoupleEditor::listIsCurrent(const QTreeWidget* list, int yearFilter) const {
    const QList<qint32> positions = collect_member_indexes(quint8(list->property(kRoleProperty).toInt()), yearFilter);
    if (positions.size() != list->topLevelItemCount())
        return false;
    QList<qint32> shown;
    for (int row = 0; row < list->topLevelItemCount(); ++row) {
        MemberRecord member;
        if (!rowMember(list, row, member))
            return false;
        shown.append(list->topLevelItem(row)->text(kIndexColumn).toInt());
    }
    std::sort(shown.begin(), shown.end());
    return shown == positions;
}

// Fills the list anew and selects again the members that were selected and are still listed.
void CoupleEditor::refreshList(QTreeWidget* list, int yearFilter) {
    using Key = QPair<QString, QString>;
    const auto keyOf = [](const QTreeWidgetItem* item) {
        return Key(item->text(kNameColumn), item->text(kKanaColumn));
    };
    QList<Key> selected;
    for (const QTreeWidgetItem* item : list->selectedItems())
        selected.append(keyOf(item));
    const QTreeWidgetItem* current = list->currentItem();
    const Key currentKey = current ? keyOf(current) : Key();

    const bool wasUpdating = m_updatingLists;
    m_updatingLists = true;
    fill_member_list(list, yearFilter);
    for (int row = 0; row < list->topLevelItemCount(); ++row) {
        QTreeWidgetItem* item = list->topLevelItem(row);
        const Key key = keyOf(item);
        if (current && key == currentKey)
            list->setCurrentItem(item, 0, QItemSelectionModel::NoUpdate);
        const int found = int(selected.indexOf(key));
        if (found >= 0) {
            item->setSelected(true);
            selected.removeAt(found);
        }
    }
    m_updatingLists = wasUpdating;
}

void CoupleEditor::refreshStaleLists() {
    if (!listIsCurrent(lvw_Leader, m_leaderFilter))
        refreshList(lvw_Leader, m_leaderFilter);
    if (!listIsCurrent(lvw_Partner, m_partnerFilter))
        refreshList(lvw_Partner, m_partnerFilter);
}

void CoupleEditor::lvw_Leader_Click() {
    if (m_updatingLists || lvw_Leader->topLevelItemCount() == 0)
        return;
    // Rows left from before a change of the roster are shown anew first; the selection is kept.
    refreshStaleLists();
    const QList<QTreeWidgetItem*> selected = lvw_Leader->selectedItems();
    if (selected.isEmpty())
        return;
    // The row clicked last; when that click took it out of the selection, a row that is still selected.
    QTreeWidgetItem* item = lvw_Leader->currentItem();
    if (!item || !item->isSelected())
        item = selected.first();
    MemberRecord member;
    if (!rowMember(lvw_Leader, lvw_Leader->indexOfTopLevelItem(item), member))
        return;
    m_working.leader = member;
    show_couple_names(true);
}

void CoupleEditor::lvw_Partner_Click() {
    if (m_updatingLists || lvw_Partner->topLevelItemCount() == 0)
        return;
    refreshStaleLists();

    QList<int> rows;
    for (int row = 0; row < lvw_Partner->topLevelItemCount(); ++row) {
        if (lvw_Partner->topLevelItem(row)->isSelected())
            rows.append(row);
    }
    if (rows.size() > 4) {
        m_prompter.showMessage(QStringLiteral("パートナーは４人までです。"), Prompter::Icon::Information);
        return;
    }

    QList<MemberRecord> chosen;
    for (const int row : rows) {
        MemberRecord member;
        if (!rowMember(lvw_Partner, row, member))
            return;
        chosen.append(member);
    }

    m_working.partnerCount = qint32(chosen.size());
    if (m_working.partnerCount > 0) {
        // In list order; the dance strings belong to positions, so a shorter list loses its last strings
        // and a longer one gets empty strings at the end.
        m_working.partners = chosen;
        m_working.partnerDances.resize(m_working.partnerCount);
    }
    show_couple_names(true);
}

bool CoupleEditor::editedCoupleStillThere() const {
    if (m_editPosition < 0)
        return true;
    return m_editPosition < m_state.coupleCount && m_editPosition < m_state.couples.size() &&
           sameCouple(m_state.couples[m_editPosition], m_opened);
}

void CoupleEditor::cmd_OK_Click() {
    if (!editedCoupleStillThere()) {
        m_prompter.showMessage(
            QStringLiteral(
                "編集中のカップルは、この画面を開いた後に削除されたか変更されました。\nこの編集は保存しません。"),
            Prompter::Icon::Exclamation);
        hide();
        return;
    }

    const CoupleInputCheck check = check_couple_input(m_state, txt_pnum->text(), m_editPosition, m_working, m_prompter);
    if (check == CoupleInputCheck::BadNumber)
        txt_pnum->setFocus(Qt::OtherFocusReason);
    if (check != CoupleInputCheck::Passed)
        return;

    CoupleRecord stored = m_working;
    qint32 previousCount = 0;
    if (m_editPosition >= 0) {
        const CoupleRecord& current = m_state.couples[m_editPosition];
        previousCount = current.partnerCount;
        // The grid may have switched dances, the regular mark or the section while the editor was open.
        // The editor does not edit them, so those switches are kept: a dance string the editor left at
        // its position is taken as it stands now.
        stored.regular = current.regular;
        stored.section = current.section;
        if (current.danceFlags != m_opened.danceFlags)
            stored.danceFlags = current.danceFlags;
        for (qint32 j = 0; j < stored.partnerDances.size(); ++j) {
            if (j < m_opened.partnerDances.size() && j < current.partnerDances.size() &&
                stored.partnerDances[j] == m_opened.partnerDances[j])
                stored.partnerDances[j] = current.partnerDances[j];
        }
    }
    // With fewer partners a dance may be flagged that no remaining partner dances any more.
    if (stored.partnerCount < previousCount)
        recompute_dance_flags(stored);
    stored.yearSum = qint32(stored.leader.year) + qint32(stored.partners[0].year);

    if (m_editPosition == -1) {
        m_state.coupleCount += 1;
        m_state.couples.resize(m_state.coupleCount);
        m_state.couples[m_state.coupleCount - 1] = stored;
    } else {
        m_state.couples[m_editPosition] = stored;
    }
    m_working = stored;
    m_state.entryChanged = 1;
    emit coupleStored();
    hide();
}

void CoupleEditor::cmd_Cancel_Click() {
    hide();
}

void CoupleEditor::reject() {
    hide();
}

void CoupleEditor::dataReplaced() {
    if (!isVisible())
        return; // every opening fills the lists and takes the couple anew
    if (!editedCoupleStillThere()) {
        m_prompter.showMessage(
            QStringLiteral(
                "編集中のカップルが削除されたか変更されたため、カップル作成を閉じます。\nこの編集は保存しません。"),
            Prompter::Icon::Exclamation);
        hide();
        return;
    }
    refreshStaleLists();
}

void CoupleEditor::closeEvent(QCloseEvent* event) {
    // Only the window's close box destroys the editor; its buttons hide it and it keeps its contents.
    setAttribute(Qt::WA_DeleteOnClose, true);
    QDialog::closeEvent(event);
}
