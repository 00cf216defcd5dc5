#include "membertextcommand.h"

#include "exporttarget.h"
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
    QString path;
    // One of the program's own files is refused and the file dialog shown again.
    for (;;) {
        path = prompter.chooseFile({.open = false,
                                    .filter = QStringLiteral("テキストデータ(*.txt)|*.txt|"),
                                    .title = QStringLiteral("メンバーテキスト出力"),
                                    .defaultSuffix = QStringLiteral("txt")});
        if (path.isEmpty())
            return false;
        path = with_default_suffix(path, QStringLiteral("txt"));
        const QString refusal = export_target_refusal(state, path, ExportKind::MemberText);
        if (refusal.isEmpty())
            break;
        prompter.showMessage(refusal, Prompter::Icon::Exclamation);
    }
    QString kept;
    if (!keep_export_target(state, path, QString(), &kept, prompter))
        return false;
    const QList<qint32> order = collect_display_order(list, state.memberCount);
    QString error;
    if (!write_member_text(path, state, order, &error)) {
        prompter.showMessage(error, Prompter::Icon::Stop);
        return false;
    }
    QString done = QStringLiteral("テキスト出力完了！");
    if (!kept.isEmpty())
        done += QLatin1Char('\n') + replaced_file_note(path, kept);
    prompter.showMessage(done, Prompter::Icon::Information);
    return true;
}
