#pragma once

#include "prompter.h"
#include "records.h"

#include <QDialog>
#include <QStringList>

class QListWidget;
class QPushButton;

// 試合名の編集: the competition names of Gamename.txt, in the order the export dialog offers them. Modal. 決定
// writes the file whole (Shift-JIS, the count line, CR LF) and keeps the file it replaces in backup/; キャンセル
// and Escape leave the file as it was.
//
// Keys: Insert 追加, F2 or Enter (or a double click) 変更, Delete 削除, Ctrl+Up 上へ, Ctrl+Down 下へ, Ctrl+Enter 決定.
//
// | objectName     | member          | what it is                       |
// |----------------|-----------------|----------------------------------|
// | frm_game_names | this            | the dialog                       |
// | lst_game_names | m_list          | the names, in their order        |
// | cmd_add        | m_addButton     | 追加: a new name after the current one |
// | cmd_change     | m_changeButton  | 変更: the current name            |
// | cmd_delete     | m_deleteButton  | 削除: the current name            |
// | cmd_up         | m_upButton      | 上へ                              |
// | cmd_down       | m_downButton    | 下へ                              |
// | cmd_OK         | m_okButton      | 決定                              |
// | cmd_Cancel     | m_cancelButton  | キャンセル                        |
class GameNamesEditor : public QDialog {
    Q_OBJECT
public:
    GameNamesEditor(const AppState& state, Prompter& prompter, QWidget* parent = nullptr);

    // Opens the editor on the data folder's Gamename.txt and returns when it closed; true when 決定 wrote the file.
    static bool edit_game_names(const AppState& state, Prompter& prompter, QWidget* parent = nullptr);

    QStringList names() const { return m_names; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void fillList(qsizetype current);
    void enableButtons();
    // Asks for a name until it can be used or the box is cancelled; the empty text when cancelled.
    QString askName(const QString& title, const QString& proposed, qsizetype replacing);
    void addName();
    void changeName();
    void deleteName();
    void moveName(int step);
    void confirm();

    const AppState& m_state;
    Prompter& m_prompter;
    QStringList m_names;

    QListWidget* m_list = nullptr;
    QPushButton* m_addButton = nullptr;
    QPushButton* m_changeButton = nullptr;
    QPushButton* m_deleteButton = nullptr;
    QPushButton* m_upButton = nullptr;
    QPushButton* m_downButton = nullptr;
    QPushButton* m_okButton = nullptr;
    QPushButton* m_cancelButton = nullptr;
};
