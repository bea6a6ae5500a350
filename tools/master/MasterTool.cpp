#include "tools/master/MasterTool.h"

#include "app/MainWindowLogic.h"
#include "tools/master/ListedIssues.h"

namespace norvale::master {

namespace {

constexpr const char* kUsage =
    "使い方: norvale-master 東証上場銘柄一覧.csv [--output 出力ファイル]\n"
    "東証上場銘柄一覧を CSV で保存したファイルから、Norvale の銘柄マスター mei_code.txt を作ります。\n";

ToolOutcome Failed(const std::string& why, const std::string& output) {
    return {1, why + "\n" + output + " は変えていません。\n"};
}

// What was written and, when anything was skipped or replaced, a second line that says so.
std::string Summary(const ListConversion& c, const std::string& output) {
    std::string text = output + " に " + std::to_string(c.brands) + " 銘柄を書き出しました。\n";
    std::string more;
    const auto add = [&more](const std::string& part) { more += (more.empty() ? "" : "。") + part; };
    if (const int skipped = c.noCode + c.otherCode + c.duplicates) {
        add("読み飛ばした行 " + std::to_string(skipped) + "（コードなし " + std::to_string(c.noCode) +
            "、コードの形でない " + std::to_string(c.otherCode) + "、重複 " + std::to_string(c.duplicates) + "）");
    }
    if (c.quotesReplaced > 0) add("銘柄名の \" を ” に置き換え " + std::to_string(c.quotesReplaced));
    if (c.charsReplaced > 0) add("CP932 にない文字を 〓 に置き換え " + std::to_string(c.charsReplaced));
    return more.empty() ? text : text + more + "。\n";
}

}  // namespace

ToolOutcome RunMasterTool(FileSystem& files, const std::vector<std::string>& args) {
    std::string list;
    std::string output;
    for (std::size_t i = 1; i < args.size(); ++i) {
        if (args[i] == "--output" && i + 1 < args.size() && output.empty()) {
            output = args[++i];
        } else if (list.empty() && !args[i].empty() && args[i][0] != '-') {
            list = args[i];
        } else {
            return {2, kUsage};
        }
    }
    if (list.empty()) return {2, kUsage};
    if (output.empty()) output = files.InProgramFolder(kBrandMasterFileName);

    std::string bytes;
    const bool read = files.ReadPieces(list, kMaxListBytes + 1, [&bytes](std::string_view piece) {
        bytes.append(piece);
        return true;
    });
    if (!read) return Failed("「" + list + "」を読めません（ファイルがないか、開けません）。", output);
    if (bytes.size() > kMaxListBytes) {
        return Failed("「" + list + "」は大きすぎます（8 MiB まで）。東証上場銘柄一覧の CSV ではありません。", output);
    }
    const ListConversion conversion = ConvertList(bytes);
    switch (conversion.problem) {
        case ListProblem::Empty: return Failed("「" + list + "」は空です。", output);
        case ListProblem::NotTheList:
            return Failed("「" + list + "」は東証上場銘柄一覧ではありません（見出し「コード」「銘柄名」「市場・商品区分」の行がありません）。",
                          output);
        case ListProblem::NoBrands: return Failed("「" + list + "」にはコードのある行がありません。", output);
        case ListProblem::None: break;
    }
    if (!files.WriteAll(output, conversion.master)) {
        return Failed("「" + output + "」に書き込めません（書き込めないフォルダーか、ほかのプログラムが開いています）。",
                      output);
    }
    return {0, Summary(conversion, output)};
}

}  // namespace norvale::master
