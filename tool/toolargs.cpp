#include "toolargs.h"

#include "failure.h"
#include "optiontext.h"

#include <QCommandLineParser>

namespace {

const QString kTool = QStringLiteral("danceentry-tool");

ToolCommand commandNamed(const QString& name) {
    if (name == QLatin1String("show"))
        return ToolCommand::Show;
    if (name == QLatin1String("check"))
        return ToolCommand::Check;
    if (name == QLatin1String("csv"))
        return ToolCommand::Csv;
    if (name == QLatin1String("pdf"))
        return ToolCommand::Pdf;
    return ToolCommand::None;
}

bool isHelp(const QString& argument) {
    return argument == QLatin1String("--help") || argument == QLatin1String("-h");
}

bool setEncoding(const QString& value, ToolOptions& options, QString* error) {
    const QString name = value.toLower();
    if (name == QLatin1String("cp932")) {
        options.encoding = CsvEncoding::Cp932;
        return true;
    }
    if (name == QLatin1String("utf-8") || name == QLatin1String("utf8")) {
        options.encoding = CsvEncoding::Utf8WithBom;
        return true;
    }
    return fail(error, QStringLiteral("文字コード「%1」は使えません。utf-8 か cp932 を指定してください。").arg(value));
}

// Qt reports a missing value as "Missing value after '-o'."; the option is the quoted part.
QString missingValue(const QString& qtError) {
    const qsizetype open = qtError.indexOf(QLatin1Char('\''));
    const qsizetype close = qtError.lastIndexOf(QLatin1Char('\''));
    const QString option = open >= 0 && close > open ? qtError.mid(open + 1, close - open - 1) : QString();
    return QStringLiteral("オプション %1 の後に値がありません。").arg(option);
}

} // namespace

bool parse_tool_arguments(const QStringList& arguments, ToolOptions& options, QString* error) {
    options = ToolOptions();
    if (arguments.isEmpty())
        return fail(error, QStringLiteral("コマンドを指定してください（show, check, csv, pdf）。"));
    const QString& first = arguments.first();
    if (isHelp(first) || first == QLatin1String("help")) {
        options.help = true;
        if (first == QLatin1String("help") && arguments.size() > 1) {
            options.command = commandNamed(arguments[1]);
            if (options.command == ToolCommand::None)
                return fail(error, QStringLiteral("不明なコマンド「%1」です。").arg(arguments[1]));
        }
        return true;
    }
    options.command = commandNamed(first);
    if (options.command == ToolCommand::None)
        return fail(error, QStringLiteral("不明なコマンド「%1」です。").arg(first));

    // Options may stand anywhere among the files; after "--" every argument is a file, even one that starts
    // with "-". The help texts are the tool's own, so the parser only reads the line.
    QCommandLineParser parser;
    // "-output x.csv" and "-encoding cp932" are read as their long forms, never as "-o utput" with a file "x.csv".
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    const QCommandLineOption output(QStringList{QStringLiteral("o"), QStringLiteral("output")}, QString(),
                                    QStringLiteral("file"));
    const QCommandLineOption encoding(QStringLiteral("encoding"), QString(), QStringLiteral("name"));
    const QCommandLineOption strict(QStringLiteral("strict"));
    parser.addOptions({help, output, encoding, strict});
    const bool parsed = parser.parse(QStringList{kTool} + arguments.mid(1));
    // "--help" asks for the command's help, whatever else the line holds.
    if (parser.isSet(help)) {
        options.help = true;
        return true;
    }
    if (!parsed) {
        const QStringList unknown = parser.unknownOptionNames();
        return fail(error, unknown.isEmpty() ? missingValue(parser.errorText())
                                             : unknown_option_message(arguments, unknown.first()));
    }
    // Each option belongs to its commands: --strict to check, -o to csv and pdf, --encoding to csv.
    for (const QString& name : parser.optionNames()) {
        bool allowed = options.command == ToolCommand::Csv;
        if (strict.names().contains(name))
            allowed = options.command == ToolCommand::Check;
        else if (output.names().contains(name))
            allowed = options.command == ToolCommand::Csv || options.command == ToolCommand::Pdf;
        if (!allowed)
            return fail(error, unknown_option_message(arguments, name));
    }
    options.strict = parser.isSet(strict);

    const QStringList outputs = parser.values(output);
    if (outputs.size() > 1)
        return fail(error, QStringLiteral("出力ファイルは一つだけ指定してください。"));
    if (!outputs.isEmpty() && outputs.first().isEmpty())
        return fail(error, QStringLiteral("出力ファイルの名前が空です。"));
    options.outputPath = outputs.value(0);
    for (const QString& name : parser.values(encoding)) {
        if (!setEncoding(name, options, error))
            return false;
    }
    options.files = parser.positionalArguments();
    if (options.files.isEmpty())
        return fail(error, QStringLiteral("ファイルを指定してください。"));
    // A PDF is no text for a terminal or a pipe: it goes to a file named on the command line.
    if (options.command == ToolCommand::Pdf &&
        (options.outputPath.isEmpty() || options.outputPath == QLatin1String("-")))
        return fail(error,
                    QStringLiteral("PDF を書くファイルを -o で指定してください（標準出力には書き出しません）。"));
    return true;
}

QString tool_help(ToolCommand command) {
    switch (command) {
    case ToolCommand::Show:
        return QStringLiteral(
                   "使い方: %1 show ファイル...\n"
                   "\n"
                   "ファイルの中身を表にして UTF-8 で表示します。ファイルの種類は名前で決まります:\n"
                   "  member.dat    メンバーファイル（名前、かな、回生、学部、出身高校、役割）\n"
                   "  uniinf.dat    大学情報ファイル\n"
                   "  Gamename.txt  出場試合名の一覧（プログラムが読むとおりの順に番号を付けて）\n"
                   "  それ以外      エントリーファイル: 大学情報に続けて、カップルを背番号の順に\n"
                   "                （リーダー、パートナー、種目、Reguler、MorL。メイン画面の表と同じ）\n"
                   "\n"
                   "読めないファイルがあると、その名前と理由をエラー出力に書き、終了コード 2 で終わります。\n")
            .arg(kTool);
    case ToolCommand::Check:
        return QStringLiteral("使い方: %1 check ファイル... [--strict]\n"
                              "\n"
                              "エントリーファイルを読み、出力のときと同じ検査をします。ファイルごとに「ok」か、\n"
                              "見つかった問題を背番号とともに一行ずつ表示します。member.dat、uniinf.dat など、\n"
                              "エントリーファイルでないファイルは検査しません。Gamename.txt は、プログラムが\n"
                              "読まない行（1行目の数を超える試合名、文字コードとして読めない行）を「警告」で\n"
                              "示します。\n"
                              "  出場種目のないカップル、種目が重なっているパートナー、壊れたファイル\n"
                              "\n"
                              "同じメンバー（名前とかな）が、同じクラス（MorL と Reguler が同じ）の同じ種目に\n"
                              "複数のカップルで出ているときは、「警告」で始まる行にファイル、メンバー、種目、\n"
                              "背番号を表示します。警告だけなら終了コードは 0 です。\n"
                              "\n"
                              "  --strict  警告も検査に通らないものとして、終了コード 1 で終わります。\n"
                              "\n"
                              "終了コード: 0 すべて ok（警告のみを含む）、1 検査に通らないエントリーがある、\n"
                              "            2 見つからない・読めない・壊れたファイル、エントリーファイルでない\n"
                              "              ファイルがある\n")
            .arg(kTool);
    case ToolCommand::Csv:
        return QStringLiteral("使い方: %1 csv エントリーファイル... [-o 出力ファイル] [--encoding utf-8|cp932]\n"
                              "        %1 csv member.dat [-o 出力ファイル] [--encoding utf-8|cp932]\n"
                              "\n"
                              "エントリーファイルをまとめて一つの CSV 表（RFC 4180、行末 CR LF）にします。\n"
                              "パートナーごとに一行: ファイル、大学名、出場試合名、背番号、リーダー名、リーダーかな、\n"
                              "リーダー回生、パートナー名、パートナーかな、パートナー回生、種目 W T F Q C S R P\n"
                              "（踊る種目に 1）、Reguler（レギュラーなら 1）、MorL。一行目は見出しです。\n"
                              "\n"
                              "メンバーファイル（member.dat）を指定すると、メンバー名簿を CSV 表にします。\n"
                              "見出し 名前,かな,回生,学部,出身高校,役割（leader か partner）に続けて、登録順に\n"
                              "メンバーごとに一行。プログラムの「メンバーCSV取り込み」でそのまま読み込めます。\n"
                              "メンバーファイルはほかのファイルと一緒には指定できません。\n"
                              "\n"
                              "  -o, --output 出力ファイル  CSV を書くファイル（省略するか - で標準出力）。\n"
                              "                             入力ファイル、データファイルの名前（member.dat、\n"
                              "                             uniinf.dat、Gamename.txt、.ent を含む名前）、通常の\n"
                              "                             ファイルでないものには書きません。シンボリックリンク\n"
                              "                             はたどった先のファイルで、ハードリンクは同じファイル\n"
                              "                             かどうかで判断します。\n"
                              "  --encoding utf-8           BOM 付きの UTF-8（既定。表計算ソフトでそのまま開けます）\n"
                              "  --encoding cp932           Shift-JIS（コードページ 932）\n"
                              "\n"
                              "=、+、-、@ などで始まる文字列のセルは、表計算ソフトが式として扱わないよう先頭に '\n"
                              "を付けます（数値はそのまま）。\n"
                              "\n"
                              "読めないファイルが一つでもあると、何も書かずに終了コード 2 で終わります。\n")
            .arg(kTool);
    case ToolCommand::Pdf:
        return QStringLiteral("使い方: %1 pdf エントリーファイル... -o 出力ファイル.pdf\n"
                              "        %1 pdf member.dat -o 出力ファイル.pdf\n"
                              "\n"
                              "エントリーファイルを印刷用の PDF（A4 縦）にします。ファイルごとに新しいページから、\n"
                              "指定した順に、プログラムの「印刷」と同じエントリー一覧: 大学名、試合名、ファイル名、\n"
                              "印刷日、背番号の順のカップル（リーダー、パートナーと、かな、種目 W T F Q C S R P、\n"
                              "Reguler、MorL）、最後に種目ごとのカップル数。\n"
                              "\n"
                              "メンバーファイル（member.dat）を指定すると、メンバー一覧（名前、かな、回生、学部、\n"
                              "出身高校、役割と人数）を登録順に書きます。大学名は同じフォルダーの uniinf.dat から\n"
                              "読みます。メンバーファイルはほかのファイルと一緒には指定できません。\n"
                              "\n"
                              "  -o, --output 出力ファイル  PDF を書くファイル（必須。標準出力には書きません）。\n"
                              "                             入力ファイル、データファイルの名前（member.dat、\n"
                              "                             uniinf.dat、.ent を含む名前）、通常のファイルでない\n"
                              "                             ものには書きません。\n"
                              "\n"
                              "画面は要りません（ウィンドウを開かずにページを作ります）。\n"
                              "読めないファイルが一つでもあると、何も書かずに終了コード 2 で終わります。\n")
            .arg(kTool);
    case ToolCommand::None:
        break;
    }
    return QStringLiteral("使い方: %1 コマンド ファイル...\n"
                          "\n"
                          "DanceEntry のデータファイル（member.dat、uniinf.dat、Gamename.txt、\n"
                          "エントリーファイル）を読み出すためのツールです。入力ファイルには何も書き込みません。\n"
                          "\n"
                          "コマンド:\n"
                          "  show   ファイルの中身を表にして表示する\n"
                          "  check  エントリーファイルを検査する\n"
                          "  csv    エントリーファイルを一つの CSV 表にまとめる、メンバー名簿を CSV 表にする\n"
                          "  pdf    エントリー一覧、メンバー一覧を印刷用の PDF にする\n"
                          "\n"
                          "%1 --help, %1 コマンド --help, %1 help コマンド で説明を、\n"
                          "%1 --version でバージョンを表示します。\n"
                          "\n"
                          "終了コード: 0 成功、1 検査に通らないエントリーがある（check。--strict では警告も）、\n"
                          "            2 ファイルを読めない・書けない、64 コマンドラインの誤り\n")
        .arg(kTool);
}
