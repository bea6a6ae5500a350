#include "quotes/DdeCtrl.h"

#include <algorithm>
#include <string_view>

#include "platform/TextCodec.h"

namespace norvale {

namespace {

std::string InvalidParameterMessage() {
    return "DDEML がパラメータを有効にできませんでした。次の理由が考えられます。\r\n"
           "トランザクションが要求するものとは異なる項目名のハンドルで初期化したデータハンドルを使ったため。\r\n"
           "トランザクションが要求するものとは異なるクリップボードデータ形式で"
           "初期化したデータハンドルを使ったため。\r\n"
           "サーバー側関数でクライアント側の対話ハンドルを使ったか、"
           "クライアント側でサーバー側の対話ハンドルを使ったため。\r\n"
           "解放されたデータハンドルまたは文字列ハンドルを使ったため。\r\n"
           "アプリケーションの複数のインスタンスが同じオブジェクトを使ったため。";
}

}  // namespace

void DdeCtrl::DdeResetState() {
    DdeCodePage = kCpWinAnsi;
    DdeInstance = 0;
    ServiceHandle = 0;
    Conversation = 0;
    TopicHandle = 0;
    ItemHandle = 0;
    CurrentTopic.clear();
    CurrentItem.clear();
    LastErrorText.clear();
}

void DdeCtrl::BuildDdeErrorTable() {
    DdeErrorTable = {{
        {0x4000, "DMLERR_ADVACKTIMEOUT",
         "同期アドバイズトランザクションの要求がタイムアウトになりました。"},
        {0x4001, "DMLERR_BUSY",
         "トランザクションへの応答により DDE_FBUSY フラグがセットされました。"},
        {0x4002, "DMLERR_DATAACKTIMEOUT",
         "同期データトランザクションの要求がタイムアウトになりました。"},
        {0x4003, "DMLERR_DLL_NOT_INITIALIZED",
         "DdeInitialize 関数を呼び出さずに DDEML 関数を呼び出したか、DDEML 関数"
         "に渡したインスタンス識別子が無効です。"},
        {0x4004, "DMLERR_DLL_USAGE",
         "APPCLASS_MONITOR として初期化されたアプリケーションが DDE（Dynamic "
         "Data Exchange）トランザクションを試みたか、APPCMD_CLIENTONLY とし"
         "て初期化されたアプリケーションがサーバートランザクションの実行を試みました。"},
        {0x4005, "DMLERR_EXECACKTIMEOUT",
         "同期実行トランザクションの要求がタイムアウトになりました。"},
        {0x4006, "DMLERR_INVALIDPARAMETER",
         InvalidParameterMessage()},
        {0x4007, "DMLERR_LOW_MEMORY",
         "DDEML アプリケーションによってサーバー先行状態（ サーバーアプリケーションがクライアントの"
         "処理能力以上にサービスを提供している状態）になり、大量のメモリが消費されました。"},
        {0x4008, "DMLERR_MEMORY_ERROR",
         "メモリ割り当てに失敗しました。"},
        {0x4009, "DMLERR_NOTPROCESSED",
         "トランザクションに失敗しました。"},
        {0x400A, "DMLERR_NO_CONV_ESTABLISHED",
         "クライアントが対話を確立しようとして失敗しました。"},
        {0x400B, "DMLERR_POKEACKTIMEOUT",
         "同期ポークトランザクションの要求がタイムアウトになりました。"},
        {0x400C, "DMLERR_POSTMSG_FAILED",
         "PostMessage 関数の内部呼び出しに失敗しました。"},
        {0x400D, "DMLERR_REENTRANCY",
         "同期トランザクションがすでに進行中のアプリケーションインスタンスで別の同期トランザクションを開始"
         "しようとしたか、DdeEnableCallback 関数が DDEML コールバック関数内で呼び"
         "出されました。"},
        {0x400E, "DMLERR_SERVER_DIED",
         "クライアント側が終了した対話でサーバー側トランザクションが試みられたか、トランザクションが完了す"
         "る前にサーバーが終了しました。"},
        {0x400F, "DMLERR_SYS_ERROR",
         "DDEML で内部エラーが発生しました。"},
        {0x4010, "DMLERR_UNADVACKTIMEOUT",
         "アドバイズトランザクションの終了要求がタイムアウトになりました。"},
        {0x4011, "DMLERR_UNFOUND_QUEUE_ID",
         "DDEML 関数に渡されたトランザクション識別子が無効です。アプリケーションが XTYP_XAC"
         "T_COMPLETE コールバックから戻ると、そのコールバック関数のトランザクション識別子は無効"
         "になります。"},
    }};
}

DdeHandle DdeCtrl::MakeStringHandle(const std::string& utf8) {
    return ddeml_.CreateStringHandle(DdeInstance, Utf8ToCp932(utf8), static_cast<int>(DdeCodePage));
}

bool DdeCtrl::DdeOpen(const std::string& service) {
    ServiceName = service;
    DdeInstance = 0;
    if (ddeml_.Initialize(DdeInstance, kDdeClientFlags) != dmlerr::kNoError) {
        LastErrorText = DescribeDdeError();
        return false;
    }
    ServiceHandle = MakeStringHandle(service);
    if (ServiceHandle == 0) {
        LastErrorText = DescribeDdeError();
        return false;
    }
    return true;
}

bool DdeCtrl::DdeRequest(const std::string& topic, const std::string& item, std::int32_t timeoutMs,
                         std::string& out) {
    // Zero-filled, so a value shorter than the buffer always ends in a NUL.
    std::array<char, kDdeBufferSize> buffer{};

    if (topic != CurrentTopic) {
        if (TopicHandle != 0) (void)ddeml_.FreeStringHandle(DdeInstance, TopicHandle);
        TopicHandle = MakeStringHandle(topic);
        if (TopicHandle == 0) {
            LastErrorText = DescribeDdeError();
            return false;
        }
        CurrentTopic = topic;
        if (Conversation != 0) (void)ddeml_.Disconnect(Conversation);
        // A failed connect leaves CurrentTopic set: the same topic is not tried again until it changes.
        Conversation = ddeml_.Connect(DdeInstance, ServiceHandle, TopicHandle);
        if (Conversation == 0) {
            LastErrorText = DescribeDdeError();
            return false;
        }
    }

    if (item != CurrentItem) {
        if (ItemHandle != 0) (void)ddeml_.FreeStringHandle(DdeInstance, ItemHandle);
        ItemHandle = MakeStringHandle(item);
        if (ItemHandle == 0) {
            LastErrorText = DescribeDdeError();
            return false;
        }
        CurrentItem = item;
    }

    const DdeHandle data = ddeml_.ClientTransaction(Conversation, ItemHandle, kCfText, kXtypRequest,
                                                    static_cast<std::uint32_t>(std::max<std::int32_t>(timeoutMs, 0)));
    if (data == 0) {
        const std::uint32_t code = ddeml_.GetLastError(DdeInstance);
        std::string description = DescribeCode(code);
        RecoverFrom(code);
        LastErrorText = std::move(description);
        return false;
    }
    (void)ddeml_.GetData(data, buffer.data(), kDdeBufferSize, 0);

    // CP932 has no trail byte 0, so cutting the bytes at the first NUL equals cutting the text.
    const std::string_view bytes(buffer.data(), buffer.size());
    const std::size_t nul = bytes.find('\0');
    std::string text = Cp932ToUtf8(bytes.substr(0, nul));
    if (nul == std::string_view::npos) {
        // A value that filled the buffer: the fixed-length text is padded to 512 characters.
        const std::size_t chars = Utf8CharCount(text);
        if (chars < kDdeBufferSize) text.append(kDdeBufferSize - chars, ' ');
    }
    out = std::move(text);
    (void)ddeml_.FreeDataHandle(data);
    return true;
}

std::string DdeCtrl::DescribeDdeError() { return DescribeCode(ddeml_.GetLastError(DdeInstance)); }

std::string DdeCtrl::DescribeCode(std::uint32_t code) const {
    if (code == dmlerr::kNoError) return "DMLERR_NO_ERROR";
    for (const DdeErrorRecord& record : DdeErrorTable) {
        if (record.code == code) return record.name + " " + record.message;
    }
    return {};
}

void DdeCtrl::RecoverFrom(std::uint32_t code) {
    if (code == dmlerr::kPostMsgFailed || code == dmlerr::kServerDied) {
        // The server went away. Its conversation cannot be ended or replaced within this
        // instance, so the same topic would fail for good, even after the server is back:
        // start afresh with a new instance.
        DdeClose();
        DdeResetState();
        (void)DdeOpen(ServiceName);
    } else if (code == dmlerr::kDataAckTimeout) {
        // A reply that comes after its time limit would be taken as the answer to the next
        // request of this conversation: drop it, so the next request connects anew.
        (void)ddeml_.Disconnect(Conversation);
        Conversation = 0;
        CurrentTopic.clear();
    }
}

void DdeCtrl::RetryFailedConnect() {
    if (Conversation == 0) CurrentTopic.clear();
}

void DdeCtrl::DdeClose() {
    if (DdeInstance == 0) return;
    if (ServiceHandle != 0) (void)ddeml_.FreeStringHandle(DdeInstance, ServiceHandle);
    if (Conversation != 0) (void)ddeml_.Disconnect(Conversation);
    if (TopicHandle != 0) (void)ddeml_.FreeStringHandle(DdeInstance, TopicHandle);
    if (ItemHandle != 0) (void)ddeml_.FreeStringHandle(DdeInstance, ItemHandle);
    (void)ddeml_.Uninitialize(DdeInstance);
}

std::string DdeCtrl::TextBefore(const std::string& text, const std::string& separator) {
    const auto at = text.find(separator);
    return at == std::string::npos ? text : text.substr(0, at);
}

}  // namespace norvale
