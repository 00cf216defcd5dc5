#include "coupleeditor.h"

#include "backnumber.h"
#include "dialogsupport.h"
#include "japanesefont.h"
#include "roster.h"
#include "twips.h"

#include <QButtonGroup>
#include <QCloseEvent>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>

using dialogsupport::place;
using dialogsupport::place_growing;

namespace {

// Columns of the two member lists; each row keeps its member's position in `members` as item data.
constexpr int kNameColumn = 0;
constexpr int kKanaColumn = 1;
constexpr int kPositionRole = Qt::UserRole;

const QString kFilterCaptions[] = {QStringLiteral("全"), QStringLiteral("１回"), QStringLiteral("２回"),
                                   QStringLiteral("３回"), QStringLiteral("４回")};

QLabel* makeHeading(QWidget* parent, const QString& objectName, const QString& text) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(objectName);
    label->setFont(ms_p_gothic(9.75));
    return label;
}

// What a list row tells on hovering: the whole name, kana, year, role, faculty, and the couples of the entry
// that already hold the member (the reason its name is grey).
QString memberTooltip(const MemberRecord& member, const QList<qint32>& backNumbers) {
    QStringList lines{dialogsupport::shown_text(member.name)};
    if (!member.kana.isEmpty())
        lines << QStringLiteral("かな：%1").arg(dialogsupport::shown_text(member.kana));
    lines << QStringLiteral("%1回生　%2")
                 .arg(member.year)
                 .arg(member.role == 0 ? QStringLiteral("リーダー") : QStringLiteral("パートナー"));
    if (!member.department.isEmpty())
        lines << QStringLiteral("学部：%1").arg(dialogsupport::shown_text(member.department));
    if (backNumbers.isEmpty()) {
        lines << QStringLiteral("このエントリーのカップルにはまだ入っていません。");
    } else {
        QStringList numbers;
        for (const qint32 number : backNumbers)
            numbers << QString::number(number);
        lines << QStringLiteral("このエントリーの背番号 %1 のカップルに入っています（灰色の名前）。")
                     .arg(numbers.join(QStringLiteral("、")));
    }
    return lines.join(QLatin1Char('\n'));
}

// A label that is as large as its text, at least one line high even while empty.
void sizeToText(QLabel* label) {
    const QSize hint = label->sizeHint();
    label->resize(qMax(hint.width(), 1), qMax(hint.height(), label->fontMetrics().height()));
}

} // namespace

CoupleEditor::CoupleEditor(AppState& state, Prompter& prompter, QWidget* parent)
    : QDialog(parent), m_state(state), m_prompter(prompter), m_edit(*begin_couple_edit(state, -1)) {
    setObjectName(QStringLiteral("frm_couple"));
    setWindowTitle(QStringLiteral("カップル作成"));
    setFont(ms_p_gothic(9));
    dialogsupport::make_fixed_window(this, 7650, 4545);

    m_numberLabel = makeHeading(this, QStringLiteral("Label1"), QStringLiteral("背番号"));
    place_growing(m_numberLabel, 45, 90, 585, 195);

    m_backNumberEdit = new QLineEdit(this);
    m_backNumberEdit->setObjectName(QStringLiteral("txt_pnum"));
    m_backNumberEdit->setFont(ms_p_gothic(12));
    place(m_backNumberEdit, 795, 45, 675, 315);
    dialogsupport::select_all_on_double_click(m_backNumberEdit);
    dialogsupport::label_for(m_numberLabel, m_backNumberEdit);

    // Two lines: the caption's blanks were laid out so that it breaks after "キーを".
    m_hintLabel = new QLabel(QStringLiteral("※ ダブルパートナー以上にしたいときは Ctrl キーを   　 "
                                            "押しながらパートナーを選択してください。"),
                             this);
    m_hintLabel->setObjectName(QStringLiteral("Label4"));
    m_hintLabel->setWordWrap(true);
    const QString hint = m_hintLabel->text();
    const QString firstLine = hint.left(hint.indexOf(QStringLiteral("キーを")) + 3);
    const QRect designed = twips::rect(1815, 75, 4050, 345, m_hintLabel);
    const int hintWidth = qMax(designed.width(), m_hintLabel->fontMetrics().horizontalAdvance(firstLine) + 2);
    m_hintLabel->setGeometry(designed.x(), designed.y(), hintWidth,
                             qMax(designed.height(), m_hintLabel->heightForWidth(hintWidth)));

    m_leaderFrame = new QGroupBox(QStringLiteral("リーダー"), this);
    m_leaderFrame->setObjectName(QStringLiteral("Frame1"));
    place(m_leaderFrame, 30, 465, 2880, 4065);
    m_leaderList = makeMemberList(m_leaderFrame, QStringLiteral("lvw_Leader"), 90, 1845);
    m_leaderFilters = makeFilterOptions(m_leaderFrame, "opt_L_Filter_%1", 1995, {255, 585, 900, 1230, 1560});

    m_partnerFrame = new QGroupBox(QStringLiteral("パートナー"), this);
    m_partnerFrame->setObjectName(QStringLiteral("Frame2"));
    place(m_partnerFrame, 2985, 465, 2880, 4065);
    m_partnerList = makeMemberList(m_partnerFrame, QStringLiteral("lvw_Partner"), 90, 1905);
    m_partnerFilters = makeFilterOptions(m_partnerFrame, "opt_P_Filter_%1", 2055, {270, 600, 915, 1245, 1575});
    // What a screen reader says of the two lists; the hint tells how to choose several partners.
    m_leaderList->setAccessibleName(QStringLiteral("リーダーの候補"));
    m_partnerList->setAccessibleName(QStringLiteral("パートナーの候補"));
    m_partnerList->setAccessibleDescription(m_hintLabel->text());

    m_leaderHeading = makeHeading(this, QStringLiteral("Label2"), QStringLiteral("リーダー"));
    place_growing(m_leaderHeading, 6000, 555, 690, 195);
    m_leaderName = new QLabel(this);
    m_leaderName->setObjectName(QStringLiteral("lbl_Leader"));
    m_leaderName->move(twips::toPixelsX(6000, this), twips::toPixelsY(810, this));
    sizeToText(m_leaderName);
    m_partnerHeading = makeHeading(this, QStringLiteral("Label3"), QStringLiteral("パートナー"));
    place_growing(m_partnerHeading, 6000, 1110, 855, 195);
    auto* firstPartner = new QLabel(this);
    firstPartner->setObjectName(QStringLiteral("lbl_partner_0"));
    firstPartner->move(twips::toPixelsX(6000, this), twips::toPixelsY(1380, this));
    sizeToText(firstPartner);
    m_partnerNames.append(firstPartner);

    m_okButton = new QPushButton(QStringLiteral("決定"), this);
    m_okButton->setObjectName(QStringLiteral("cmd_OK"));
    place(m_okButton, 6270, 3255, 1005, 555);
    m_cancelButton = new QPushButton(QStringLiteral("キャンセル"), this);
    m_cancelButton->setObjectName(QStringLiteral("cmd_Cancel"));
    place(m_cancelButton, 6270, 3840, 1005, 555);
    // Enter stores, as in the other dialogs (Escape hides, see reject).
    m_okButton->setDefault(true);

    setTabOrder(m_backNumberEdit, m_leaderList);
    setTabOrder(m_leaderList, m_leaderFilters->button(0));
    setTabOrder(m_leaderFilters->button(0), m_partnerList);
    setTabOrder(m_partnerList, m_partnerFilters->button(0));
    setTabOrder(m_partnerFilters->button(0), m_okButton);
    setTabOrder(m_okButton, m_cancelButton);

    connect(m_okButton, &QPushButton::clicked, this, &CoupleEditor::storeCouple);
    connect(m_cancelButton, &QPushButton::clicked, this, &QWidget::hide);
    connect(m_leaderFilters, &QButtonGroup::idClicked, this, &CoupleEditor::filterLeaders);
    connect(m_partnerFilters, &QButtonGroup::idClicked, this, &CoupleEditor::filterPartners);
    // Every change of a list's selection made by the user (click, Ctrl+click, keys) is a choice.
    connect(m_leaderList, &QTreeWidget::itemSelectionChanged, this, &CoupleEditor::chooseLeader);
    connect(m_partnerList, &QTreeWidget::itemSelectionChanged, this, &CoupleEditor::choosePartners);
    connect(m_state.notifier.get(), &StateNotifier::rosterChanged, this, &CoupleEditor::followRosterChange);
    connect(m_state.notifier.get(), &StateNotifier::couplesChanged, this, &CoupleEditor::followCouplesChange);
}

QButtonGroup* CoupleEditor::makeFilterOptions(QGroupBox* frame, const char* prefix, int left, const int (&tops)[5]) {
    auto* group = new QButtonGroup(this);
    for (int i = 0; i < 5; ++i) {
        auto* option = new QRadioButton(kFilterCaptions[i], frame);
        option->setObjectName(QString::fromLatin1(prefix).arg(i));
        place_growing(option, left, tops[i], 675, 255);
        group->addButton(option, i);
    }
    group->button(0)->setChecked(true);
    return group;
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
    // A name too long for the list keeps its beginning and its end; the tooltip holds the whole name.
    list->setTextElideMode(Qt::ElideMiddle);
    place(list, left, 255, width, 3705);
    // The name column is as wide as the list; the reading only orders the rows.
    list->setColumnCount(2);
    list->setHeaderLabels({QStringLiteral("名前"), QStringLiteral("かな")});
    list->header()->setSectionsClickable(false);
    list->header()->setSectionsMovable(false);
    list->header()->setStretchLastSection(true);
    list->setColumnWidth(kNameColumn, list->width() - 2 * list->frameWidth());
    list->setColumnHidden(kKanaColumn, true);
    return list;
}

void CoupleEditor::fillMemberList(QTreeWidget* list, int yearFilter) {
    const quint8 role = list == m_leaderList ? 0 : 1;
    const bool wasUpdating = m_updatingLists;
    m_updatingLists = true;
    list->clear();
    const QHash<MemberKey, QList<qint32>> inCouples = back_numbers_by_member(m_state);
    const QBrush taken = list->palette().brush(QPalette::Disabled, QPalette::Text);
    QList<QTreeWidgetItem*> rows;
    for (const qint32 position : members_by_kana(m_state, role, yearFilter)) {
        const MemberRecord& member = m_state.members[position];
        auto* row =
            new QTreeWidgetItem({dialogsupport::shown_text(member.name), dialogsupport::shown_text(member.kana)});
        row->setData(kNameColumn, kPositionRole, position);
        const QList<qint32> numbers = inCouples.value(MemberKey(member.name, member.kana));
        row->setToolTip(kNameColumn, memberTooltip(member, numbers));
        if (!numbers.isEmpty())
            row->setForeground(kNameColumn, taken);
        rows.append(row);
    }
    list->addTopLevelItems(rows);
    m_updatingLists = wasUpdating;
}

// Fills the list anew and selects again the members that were selected and are still listed.
void CoupleEditor::refillKeepingSelection(QTreeWidget* list, int yearFilter) {
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
    fillMemberList(list, yearFilter);
    for (int row = 0; row < list->topLevelItemCount(); ++row) {
        QTreeWidgetItem* item = list->topLevelItem(row);
        const Key key = keyOf(item);
        if (current && key == currentKey)
            list->setCurrentItem(item, 0, QItemSelectionModel::NoUpdate);
        const qsizetype found = selected.indexOf(key);
        if (found >= 0) {
            item->setSelected(true);
            selected.removeAt(found);
        }
    }
    m_updatingLists = wasUpdating;
}

void CoupleEditor::selectFilter(QButtonGroup* group, int index) {
    group->button(index)->setChecked(true);
}

void CoupleEditor::openCouple(qint32 position) {
    const std::optional<CoupleEdit> edit = begin_couple_edit(m_state, position);
    if (!edit)
        return;
    m_edit = *edit;
    if (m_edit.position < 0) {
        fillMemberList(m_leaderList, m_leaderFilter);
        fillMemberList(m_partnerList, m_partnerFilter);
        m_backNumberEdit->setText(propose_back_number(m_backNumberEdit->text()));
        showCoupleNames(true);
    } else {
        showCoupleNames(false);
        const int leaderFilter = year_filter_of(m_edit.working.leader.year);
        selectFilter(m_leaderFilters, leaderFilter);
        filterLeaders(leaderFilter);
        const int partnerFilter = partner_year_filter(m_edit.working);
        selectFilter(m_partnerFilters, partnerFilter);
        filterPartners(partnerFilter);
    }

    // No row is selected when the dialog opens; the labels show the current choice.
    m_updatingLists = true;
    dialogsupport::clearSelection(m_leaderList);
    dialogsupport::clearSelection(m_partnerList);
    m_updatingLists = false;

    // A request while the dialog is still open brings it to the front.
    if (isVisible())
        raise();
    show();
    activateWindow();
    m_backNumberEdit->setFocus(Qt::OtherFocusReason);
    dialogsupport::select_all_text(m_backNumberEdit);
}

void CoupleEditor::showCoupleNames(bool keepNumber) {
    m_partnerNames[0]->hide();
    while (m_partnerNames.size() > 1)
        delete m_partnerNames.takeLast();

    m_leaderName->setText(dialogsupport::shown_text(m_edit.working.leader.name));
    sizeToText(m_leaderName);

    const std::span<const MemberRecord> partners = valid_part(m_edit.working.partners, m_edit.working.partnerCount);
    for (qsizetype j = 0; j < qsizetype(partners.size()); ++j) {
        if (j >= m_partnerNames.size()) {
            QLabel* previous = m_partnerNames[j - 1];
            auto* label = new QLabel(this);
            label->setObjectName(QStringLiteral("lbl_partner_%1").arg(j));
            label->setFont(m_partnerNames[0]->font());
            label->move(previous->x(), previous->y() + previous->height() + twips::toPixelsY(50, this));
            m_partnerNames.append(label);
        }
        QLabel* label = m_partnerNames[j];
        label->setText(dialogsupport::shown_text(partners[size_t(j)].name));
        sizeToText(label);
        label->show();
    }

    if (!keepNumber)
        m_backNumberEdit->setText(QString::number(m_edit.working.backNumber));
}

void CoupleEditor::filterLeaders(int year) {
    fillMemberList(m_leaderList, year);
    m_leaderFilter = year;
}

void CoupleEditor::filterPartners(int year) {
    fillMemberList(m_partnerList, year);
    m_partnerFilter = year;
}

// The member of a list row, provided the roster still holds it at the row's position.
bool CoupleEditor::rowMember(const QTreeWidget* list, const QTreeWidgetItem* item, MemberRecord& member) const {
    if (!item)
        return false;
    const qint32 position = item->data(kNameColumn, kPositionRole).value<qint32>();
    if (!m_state.isMember(position))
        return false;
    const MemberRecord& candidate = m_state.members[position];
    if (candidate.name != item->text(kNameColumn) || candidate.kana != item->text(kKanaColumn) ||
        candidate.role != (list == m_leaderList ? 0 : 1))
        return false;
    member = candidate;
    return true;
}

void CoupleEditor::chooseLeader() {
    if (m_updatingLists || m_leaderList->topLevelItemCount() == 0)
        return;
    const QList<QTreeWidgetItem*> selected = m_leaderList->selectedItems();
    if (selected.isEmpty())
        return;
    // The row clicked last; when that click took it out of the selection, a row that is still selected.
    QTreeWidgetItem* item = m_leaderList->currentItem();
    if (!item || !item->isSelected())
        item = selected.first();
    MemberRecord member;
    if (!rowMember(m_leaderList, item, member))
        return;
    m_edit.working.leader = member;
    showCoupleNames(true);
}

void CoupleEditor::choosePartners() {
    if (m_updatingLists || m_partnerList->topLevelItemCount() == 0)
        return;
    QList<MemberRecord> chosen;
    bool allThere = true;
    for (int row = 0; row < m_partnerList->topLevelItemCount(); ++row) {
        const QTreeWidgetItem* item = m_partnerList->topLevelItem(row);
        MemberRecord member;
        if (!item->isSelected())
            continue;
        allThere = rowMember(m_partnerList, item, member) && allThere;
        chosen.append(member);
    }
    // More than four are refused even when a row is stale; a stale row otherwise changes nothing.
    if (chosen.size() <= 4 && !allThere)
        return;
    if (choose_partners(m_edit.working, chosen, m_prompter))
        showCoupleNames(true);
}

void CoupleEditor::storeCouple() {
    switch (store_couple(m_state, m_edit, m_backNumberEdit->text(), m_prompter)) {
    case StoreCoupleResult::Stored:
    case StoreCoupleResult::Gone:
        hide();
        break;
    case StoreCoupleResult::BadNumber:
        m_backNumberEdit->setFocus(Qt::OtherFocusReason);
        break;
    case StoreCoupleResult::Refused:
        break;
    }
}

void CoupleEditor::followRosterChange() {
    if (!isVisible())
        return; // every opening fills the lists anew
    refillKeepingSelection(m_leaderList, m_leaderFilter);
    refillKeepingSelection(m_partnerList, m_partnerFilter);
}

void CoupleEditor::followCouplesChange() {
    if (!isVisible())
        return;
    if (edited_couple_still_there(m_state, m_edit)) {
        // Who is in which couple may have changed: the grey names and the tooltips follow.
        refillKeepingSelection(m_leaderList, m_leaderFilter);
        refillKeepingSelection(m_partnerList, m_partnerFilter);
        return;
    }
    m_prompter.showMessage(
        QStringLiteral(
            "編集中のカップルが削除されたか変更されたため、カップル作成を閉じます。\nこの編集は保存しません。"),
        Prompter::Icon::Exclamation);
    hide();
}

void CoupleEditor::reject() {
    hide();
}

void CoupleEditor::closeEvent(QCloseEvent* event) {
    // Only the window's close box destroys the editor; its buttons hide it and it keeps its contents.
    setAttribute(Qt::WA_DeleteOnClose, true);
    QDialog::closeEvent(event);
}
