#include "membertextcommand.h"

#include "memberlistview.h"
#include "membertext.h"

#include <QTreeWidget>

QList<qint32> collect_display_order(const QTreeWidget& list, qint32 memberCount) {
    QList<qint32> order(std::max<qint32>(memberCount, 0), 0);
    const int rows = std::min(list.topLevelItemCount(), int(order.size()));
    for (int row = 0; row < rows; ++row) {
        const qint32 position = MemberListView::memberPosition(list.topLevelItem(row));
        if (position >= 0 && position < memberCount)
            order[row] = position;
    }
    return order;
}

bool run_member_text_export(const AppState& state, Prompter& prompter, const QTreeWidget& list) {
    if (state.memberCount < 1) {
        prompter.showMessage(QStringLiteral("メンバーが一人もいません。"), Prompter::Icon::Stop);
        return false;
    }
    const QString path = prompter.chooseFile({.open = false,
                                              .filter = QStringLiteral("テキストデータ(*.txt)|*.txt|"),
                                              .title = QStringLiteral("メンバーテキスト出力")});
    if (path.isEmpty())
        return false;
    const QList<qint32> order = collect_display_order(list, state.memberCount);
    QString error;
    if (!write_member_text(path, state, order, &error)) {
        prompter.showMessage(error, Prompter::Icon::Stop);
        return false;
    }
    prompter.showMessage(QStringLiteral("テキスト出力完了！"), Prompter::Icon::Information);
    return true;
}
