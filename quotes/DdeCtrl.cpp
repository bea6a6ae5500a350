// The DDE client: conversation and handle caching, the receive buffer, recovery from failures.
#include "quotes/DdeCtrl.h"

#include <string_view>

#include "platform/TextCodec.h"

namespace norvale {

const std::array<DdeErrorRecord, kDdeErrorCount> kDdeErrorTable = {{

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
         "DDEML がパラメータを有効にできませんでした。次の理由が考えられます。\r\n"
         "トランザクションが要求するものとは異なる項目名のハンドルで初期化したデータハンドルを使ったため。\r\n"
         "トランザクションが要求するものとは異なるクリップボードデータ形式で"
         "初期化したデータハンドルを使ったため。\r\n"
         "サーバー側関数でクライアント側の対話ハンドルを使ったか、"
         "クライアント側でサーバー側の対話ハンドルを使ったため。\r\n"
         "解放されたデータハンドルまたは文字列ハンドルを使ったため。\r\n"
         "アプリケーションの複数のインスタンスが同じオブジェクトを使ったため。"},
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

std::string DescribeDdeCode(std::uint32_t code) {
    if (code == dmlerr::kNoError) return "DMLERR_NO_ERROR";
    for (const DdeErrorRecord& record : kDdeErrorTable) {
        if (record.code == code) return std::string(record.name) + " " + std::string(record.message);
    }
    return {};
}

DdeString DdeCtrl::MakeStringHandle(std::string_view utf8) {
    return ddeml_.CreateStringHandle(instance_, Utf8ToCp932(utf8), static_cast<int>(kCpWinAnsi));
}

void DdeCtrl::FreeString(DdeString& handle) {
    if (handle != DdeString::kNone) (void)ddeml_.FreeStringHandle(instance_, handle);
    handle = DdeString::kNone;
}

DdeReply DdeCtrl::Failure(std::uint32_t code) {
    DdeReply reply{std::nullopt, code, DescribeDdeCode(code)};
    lastErrorText_ = reply.errorText;
    return reply;
}

bool DdeCtrl::Open(const std::string& service) {
    serviceName_ = service;
    instance_ = DdeInstance::kNone;
    if (ddeml_.Initialize(instance_, kDdeClientFlags) != dmlerr::kNoError) {
        instance_ = DdeInstance::kNone;
        lastErrorText_ = DescribeDdeCode(ddeml_.GetLastError(instance_));
        return false;
    }
    service_ = MakeStringHandle(service);
    if (service_ == DdeString::kNone) {
        lastErrorText_ = DescribeDdeCode(ddeml_.GetLastError(instance_));
        return false;
    }
    return true;
}

DdeReply DdeCtrl::Request(const std::string& topic, std::string_view item, std::int32_t timeoutMs) {
    if (timeoutMs < 1) return Failure(dmlerr::kDataAckTimeout);
    if (topic != currentTopic_) {
        FreeString(topic_);
        topic_ = MakeStringHandle(topic);
        if (topic_ == DdeString::kNone) return Failure(ddeml_.GetLastError(instance_));
        currentTopic_ = topic;
        if (conversation_ != DdeConversation::kNone) (void)ddeml_.Disconnect(conversation_);
        // A failed connect leaves the topic cached: it is not tried again until it changes.
        conversation_ = ddeml_.Connect(instance_, service_, topic_);
        if (conversation_ == DdeConversation::kNone) return Failure(ddeml_.GetLastError(instance_));
    }

    // The cached name stands only while its handle does: a handle that could not be made for another item
    // has freed it already.
    if (item != currentItem_ || item_ == DdeString::kNone) {
        FreeString(item_);
        item_ = MakeStringHandle(item);
        if (item_ == DdeString::kNone) return Failure(ddeml_.GetLastError(instance_));
        currentItem_.assign(item);
    }

    const DdeData data =
        ddeml_.ClientTransaction(conversation_, item_, kCfText, kXtypRequest, static_cast<std::uint32_t>(timeoutMs));
    if (data == DdeData::kNone) {
        const std::uint32_t code = ddeml_.GetLastError(instance_);
        RecoverFrom(code);
        return Failure(code);
    }
    // Zero-filled, so a value shorter than the buffer always ends in a NUL.
    std::array<char, kDdeBufferSize> buffer{};
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
    (void)ddeml_.FreeDataHandle(data);
    return DdeReply{std::move(text), dmlerr::kNoError, {}};
}

void DdeCtrl::DropConversation() {
    if (conversation_ != DdeConversation::kNone) (void)ddeml_.Disconnect(conversation_);
    conversation_ = DdeConversation::kNone;
    currentTopic_.clear();
}

void DdeCtrl::RecoverFrom(std::uint32_t code) {
    if (code == dmlerr::kNotProcessed) return;  // the server refused this item; the conversation holds
    // Without a conversation the connect failed: it is retried when the topic changes or a
    // pass begins, not at every request.
    if (conversation_ == DdeConversation::kNone) return;
    if (code == dmlerr::kPostMsgFailed || code == dmlerr::kServerDied || code == dmlerr::kNoConvEstablished) {
        // The server went away, killed or ending by itself (its WM_DDE_TERMINATE). Its
        // conversation cannot be ended or replaced within this instance (Wine then refuses
        // every connect to the service), so the same topic would fail for good, even after
        // the server is back: start afresh with a new instance.
        Close();
        (void)Open(serviceName_);
        return;
    }
    // Anything else (a time-out, a conversation the server ended) leaves a conversation that
    // cannot be trusted: a late reply would be taken as the answer to the next request. Drop
    // it, so the next request of the topic connects anew.
    DropConversation();
}

void DdeCtrl::RetryFailures() {
    // Opened once (start-up), but without an instance or a service handle since.
    if (!serviceName_.empty() && service_ == DdeString::kNone) {
        Close();
        (void)Open(serviceName_);
    }
    if (conversation_ == DdeConversation::kNone) currentTopic_.clear();
}

void DdeCtrl::Close() {
    if (instance_ != DdeInstance::kNone) {
        FreeString(service_);
        if (conversation_ != DdeConversation::kNone) (void)ddeml_.Disconnect(conversation_);
        FreeString(topic_);
        FreeString(item_);
        (void)ddeml_.Uninitialize(instance_);
    }
    instance_ = DdeInstance::kNone;
    service_ = topic_ = item_ = DdeString::kNone;
    conversation_ = DdeConversation::kNone;
    currentTopic_.clear();
    currentItem_.clear();
}

}  // namespace norvale
