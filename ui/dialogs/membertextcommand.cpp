#include "membertextcommand.h"

#include "entrycommands.h"
#include "memberlistview.h"
#include "membertext.h"

#include <QDir>
#include <QTreeWidget>

QList<qint32> collect_display_order(const QTreeWidget& list, qint32 memberCount) {
    QList<qint32> order(std::max<qint32>(memberCount, 0), 0);
    const int rows = std::min<int>(list.topLevelItemCount(), int(order.size()));
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
    const QString path = show_file_dialog(prompter, QString(), false, QStringLiteral("テキストデータ(*.txt)|*.txt|"),
                                          QString(), QStringLiteral("メンバーテキスト出力"));
    if (path.isEmpty())
        return false;
    const QList<qint32> order = collect_display_order(list, state.memberCount);
    QString error;
    if (!write_member_text(path, state, order, &error)) {
        if (error.isEmpty())
            error = QStringLiteral("ファイル「%1」を保存できませんでした。").arg(QDir::toNativeSeparators(path));
        prompter.showMessage(error, Prompter::Icon::Stop);
        return false;
    }
    prompter.showMessage(QStringLiteral("テキスト出力完了！"), Prompter::Icon::Information);
    return true;
}
