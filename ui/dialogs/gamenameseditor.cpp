#include "gamenameseditor.h"

#include "gamenamelist.h"
#include "gamenames.h"
#include "japanesefont.h"

#include <QDir>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>

namespace {

QPushButton* makeButton(QWidget* parent, const char* objectName, const QString& text, const QString& keys) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(QLatin1String(objectName));
    button->setAccessibleName(text);
    button->setAutoDefault(false);
    if (!keys.isEmpty())
        button->setToolTip(QStringLiteral("%1（%2）").arg(text, keys));
    return button;
}

} // namespace

GameNamesEditor::GameNamesEditor(const AppState& state, Prompter& prompter, QWidget* parent)
    : QDialog(parent), m_state(state), m_prompter(prompter) {
    setObjectName(QStringLiteral("frm_game_names"));
    setWindowTitle(QStringLiteral("試合名の編集"));
    setAccessibleName(QStringLiteral("試合名の編集"));
    setFont(ms_p_gothic(9));
    setModal(true);

    m_list = new QListWidget(this);
    m_list->setObjectName(QStringLiteral("lst_game_names"));
    m_list->setAccessibleName(QStringLiteral("試合名の一覧"));
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->installEventFilter(this);
    auto* caption = new QLabel(QStringLiteral("試合名（エントリーファイル出力で選ぶ順）"), this);
    caption->setObjectName(QStringLiteral("lbl_game_names"));
    caption->setBuddy(m_list);

    m_addButton = makeButton(this, "cmd_add", QStringLiteral("追加"), QStringLiteral("Insert"));
    m_changeButton = makeButton(this, "cmd_change", QStringLiteral("変更"), QStringLiteral("F2"));
    m_deleteButton = makeButton(this, "cmd_delete", QStringLiteral("削除"), QStringLiteral("Delete"));
    m_upButton = makeButton(this, "cmd_up", QStringLiteral("上へ"), QStringLiteral("Ctrl+↑"));
    m_downButton = makeButton(this, "cmd_down", QStringLiteral("下へ"), QStringLiteral("Ctrl+↓"));
    m_okButton = makeButton(this, "cmd_OK", QStringLiteral("決定"), QStringLiteral("Ctrl+Enter"));
    m_cancelButton = makeButton(this, "cmd_Cancel", QStringLiteral("キャンセル"), QStringLiteral("Esc"));

    auto* buttons = new QVBoxLayout;
    for (QPushButton* button : {m_addButton, m_changeButton, m_deleteButton, m_upButton, m_downButton})
        buttons->addWidget(button);
    buttons->addStretch(1);
    buttons->addWidget(m_okButton);
    buttons->addWidget(m_cancelButton);
    auto* listColumn = new QVBoxLayout;
    listColumn->addWidget(caption);
    listColumn->addWidget(m_list, 1);
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(listColumn, 1);
    layout->addLayout(buttons);
    resize(fontMetrics().averageCharWidth() * 60, fontMetrics().height() * 24);

    connect(m_addButton, &QPushButton::clicked, this, &GameNamesEditor::addName);
    connect(m_changeButton, &QPushButton::clicked, this, &GameNamesEditor::changeName);
    connect(m_deleteButton, &QPushButton::clicked, this, &GameNamesEditor::deleteName);
    connect(m_upButton, &QPushButton::clicked, this, [this] { moveName(-1); });
    connect(m_downButton, &QPushButton::clicked, this, [this] { moveName(1); });
    connect(m_okButton, &QPushButton::clicked, this, &GameNamesEditor::confirm);
    connect(m_cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_list, &QListWidget::itemDoubleClicked, this, &GameNamesEditor::changeName);
    connect(m_list, &QListWidget::currentRowChanged, this, &GameNamesEditor::enableButtons);
    auto shortcut = [this](const QKeySequence& keys, auto handler) {
        connect(new QShortcut(keys, this), &QShortcut::activated, this, handler);
    };
    shortcut(QKeySequence(Qt::Key_Insert), &GameNamesEditor::addName);
    shortcut(QKeySequence(Qt::Key_F2), &GameNamesEditor::changeName);
    shortcut(QKeySequence(Qt::CTRL | Qt::Key_Up), [this] { moveName(-1); });
    shortcut(QKeySequence(Qt::CTRL | Qt::Key_Down), [this] { moveName(1); });
    shortcut(QKeySequence(Qt::CTRL | Qt::Key_Return), &GameNamesEditor::confirm);
    shortcut(QKeySequence(Qt::CTRL | Qt::Key_Enter), &GameNamesEditor::confirm);

    // The names as the export dialog reads them; what could not be read is said before the list shows.
    const GameNamesRead read = read_game_names_file(state.gameNamesPath());
    m_names = read.names;
    // Names a too small count left out are offered too, so that 決定 writes them with the right count.
    qsizetype added = 0;
    for (const QString& name : read.leftOutNames) {
        if (game_name_refusal(name, m_names, -1).isEmpty()) {
            m_names.append(name);
            ++added;
        }
    }
    QStringList notes = game_names_warnings(read, state.gameNamesPath());
    if (!read.refusal.isEmpty())
        notes.prepend(read.refusal);
    if (added > 0)
        notes << QStringLiteral("その %1 個の試合名も一覧の最後に加えました。").arg(added);
    if (!notes.isEmpty())
        m_prompter.showMessage(notes.join(QLatin1Char('\n')) +
                                   QStringLiteral("\n決定すると、一覧の試合名を書いたファイルに置き換えます"
                                                  "（元のファイルは backup フォルダに残します）。"),
                               Prompter::Icon::Exclamation);
    fillList(m_names.isEmpty() ? -1 : 0);
    m_list->setFocus(Qt::OtherFocusReason);
}

bool GameNamesEditor::edit_game_names(const AppState& state, Prompter& prompter, QWidget* parent) {
    GameNamesEditor editor(state, prompter, parent);
    return editor.exec() == QDialog::Accepted;
}

bool GameNamesEditor::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_list && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->modifiers() == Qt::NoModifier || key->modifiers() == Qt::KeypadModifier) {
            if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
                changeName();
                return true;
            }
            if (key->key() == Qt::Key_Delete) {
                deleteName();
                return true;
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}

void GameNamesEditor::fillList(qsizetype current) {
    m_list->clear();
    m_list->addItems(m_names);
    if (current >= 0 && current < m_names.size())
        m_list->setCurrentRow(int(current));
    enableButtons();
}

void GameNamesEditor::enableButtons() {
    const int row = m_list->currentRow();
    const bool chosen = row >= 0 && row < m_names.size();
    m_changeButton->setEnabled(chosen);
    m_deleteButton->setEnabled(chosen);
    m_upButton->setEnabled(chosen && row > 0);
    m_downButton->setEnabled(chosen && row + 1 < m_names.size());
}

QString GameNamesEditor::askName(const QString& title, const QString& proposed, qsizetype replacing) {
    QString typed = proposed;
    for (;;) {
        typed = m_prompter.inputText(title, QStringLiteral("試合名"), typed).trimmed();
        // The input box tells a cancel from an emptied box no more than the user does: both change nothing.
        if (typed.isEmpty())
            return {};
        const QString refusal = game_name_refusal(typed, m_names, replacing);
        if (refusal.isEmpty())
            return typed;
        m_prompter.showMessage(refusal, Prompter::Icon::Exclamation);
    }
}

void GameNamesEditor::addName() {
    if (m_names.size() >= kMaxGameNames) {
        m_prompter.showMessage(game_name_refusal(QStringLiteral("-"), m_names, -1), Prompter::Icon::Exclamation);
        return;
    }
    const QString name = askName(QStringLiteral("試合名の追加"), QString(), -1);
    if (name.isEmpty())
        return;
    const qsizetype at = m_list->currentRow() >= 0 ? m_list->currentRow() + 1 : m_names.size();
    m_names.insert(at, name);
    fillList(at);
}

void GameNamesEditor::changeName() {
    const int row = m_list->currentRow();
    if (row < 0 || row >= m_names.size())
        return;
    const QString name = askName(QStringLiteral("試合名の変更"), m_names[row], row);
    if (name.isEmpty())
        return;
    m_names[row] = name;
    fillList(row);
}

void GameNamesEditor::deleteName() {
    const int row = m_list->currentRow();
    if (row < 0 || row >= m_names.size())
        return;
    m_names.removeAt(row);
    fillList(std::min<qsizetype>(row, m_names.size() - 1));
}

void GameNamesEditor::moveName(int step) {
    const int row = m_list->currentRow();
    const int to = row + step;
    if (row < 0 || row >= m_names.size() || to < 0 || to >= m_names.size())
        return;
    m_names.move(row, to);
    fillList(to);
}

void GameNamesEditor::confirm() {
    QString kept;
    if (!save_game_names(m_state, m_names, &kept, m_prompter))
        return;
    if (!kept.isEmpty())
        m_prompter.showMessage(
            QStringLiteral("「%1」を保存しました。元のファイルは「%2」に残しました。")
                .arg(QDir::toNativeSeparators(m_state.gameNamesPath()), QDir::toNativeSeparators(kept)),
            Prompter::Icon::Information);
    accept();
}
