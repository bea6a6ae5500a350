// A test quote server for Wine: serves the DDE service "RSS" by speaking the raw DDE messages
// (WM_DDE_INITIATE, WM_DDE_REQUEST, WM_DDE_DATA, WM_DDE_ACK, WM_DDE_TERMINATE) itself, since
// Wine's own DDEML server acknowledges each data message once more and shifts later replies.
//
// rss_test_server [--service S] [--latency MS] [--latency-item ITEM] [--refuse-topic T]...
//                 [--reply ITEM=VALUE]... [--nack-item ITEM] [--silent-item ITEM] [--lifetime SEC]
//
// Every request for CF_TEXT is answered with the value given by --reply for its item, or else
// with "<topic> <item>", in the ANSI code page. Special items: "LEN:<n>" answers n bytes
// ("0123456789" repeated), "EMPTY" an empty text, "BLANK" a single blank. --nack-item refuses an
// item; --silent-item never answers it ("*": no item), while the server goes on handling messages.
// The server prints "ready acp=<code page>" once it can be reached, and ends by itself after
// --lifetime seconds (default 120). The usage text tells what trying Norvale with it takes.
#include <windows.h>
#include <dde.h>
#include <shellapi.h>

#include <cstdio>
#include <cstring>
#include <cwchar>
#include <map>
#include <set>
#include <string>

namespace {

struct Options {
    std::wstring service = L"RSS";
    DWORD latencyMs = 0;
    std::wstring latencyItem;  // empty: every item is slow
    std::set<std::wstring> refusedTopics;
    std::map<std::wstring, std::wstring> replies;
    std::wstring nackItem;
    std::wstring silentItem;
    UINT lifetimeSec = 120;
};

struct Conversation {
    HWND client = nullptr;
    std::wstring topic;
};

Options g_options;
std::map<HWND, Conversation> g_conversations;
long g_replies = 0;
HINSTANCE g_instance = nullptr;
// Wine copies a posted DDE message's memory into the receiver and never frees the sender's: the
// packed parameter and the data block stay here, one moveable handle a reply, until the handle
// table is full after 65,536 replies. Windows hands them to the receiver, which frees them.
bool g_senderFreesPosted = false;

// Posts a DDE message whose parameter PackDDElParam made; on failure, or under Wine on success
// too, frees the parameter and the memory it names.
bool PostDde(HWND to, UINT msg, HWND self, LPARAM lp, HGLOBAL mem) {
    const bool posted = PostMessageW(to, msg, reinterpret_cast<WPARAM>(self), lp) != FALSE;
    if (!posted || g_senderFreesPosted) {
        FreeDDElParam(msg, lp);
        if (mem != nullptr) GlobalFree(mem);
    }
    return posted;
}

const wchar_t kMainClass[] = L"NorvaleRawDdeServer";
const wchar_t kConversationClass[] = L"NorvaleRawDdeConversation";

std::wstring AtomName(ATOM atom) {
    wchar_t name[256] = {};
    const UINT n = GlobalGetAtomNameW(atom, name, 256);
    return std::wstring(name, n);
}

std::string ToAnsi(const std::wstring& text) {
    if (text.empty()) return {};
    const int len = static_cast<int>(text.size());
    const int n = WideCharToMultiByte(CP_ACP, 0, text.data(), len, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n > 0 ? n : 0), '\0');
    if (n > 0) WideCharToMultiByte(CP_ACP, 0, text.data(), len, out.data(), n, nullptr, nullptr);
    return out;
}

std::string ReplyFor(const Conversation& conv, const std::wstring& item) {
    const auto fixed = g_options.replies.find(item);
    if (fixed != g_options.replies.end()) return ToAnsi(fixed->second);
    if (item == L"EMPTY") return {};
    if (item == L"BLANK") return " ";
    if (item.rfind(L"LEN:", 0) == 0) {
        const long n = std::wcstol(item.c_str() + 4, nullptr, 10);
        std::string out;
        for (long k = 0; k < n; ++k) out += static_cast<char>('0' + k % 10);
        return out;
    }
    return ToAnsi(conv.topic + L" " + item);
}

void PostNack(HWND client, HWND self, ATOM item) {
    (void)PostDde(client, WM_DDE_ACK, self, PackDDElParam(WM_DDE_ACK, 0, item), nullptr);
}

void OnRequest(HWND self, HWND client, UINT format, ATOM itemAtom) {
    const auto found = g_conversations.find(self);
    if (found == g_conversations.end()) return;
    const std::wstring item = AtomName(itemAtom);
    if (g_options.silentItem == L"*" || g_options.silentItem == item) {
        GlobalDeleteAtom(itemAtom);  // the request's reference, which a reply would have handed back
        return;
    }
    if (g_options.latencyMs > 0 && (g_options.latencyItem.empty() || g_options.latencyItem == item)) {
        Sleep(g_options.latencyMs);
    }
    if (format != CF_TEXT || item == g_options.nackItem) {
        PostNack(client, self, itemAtom);
        return;
    }
    const std::string value = ReplyFor(found->second, item);
    const SIZE_T size = offsetof(DDEDATA, Value) + value.size() + 1;
    HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE | GMEM_ZEROINIT, size);
    if (mem == nullptr) {
        PostNack(client, self, itemAtom);
        return;
    }
    auto* data = static_cast<DDEDATA*>(GlobalLock(mem));
    data->fResponse = 1;
    data->fRelease = 1;  // the client frees the memory
    data->fAckReq = 0;
    data->cfFormat = CF_TEXT;
    std::memcpy(data->Value, value.c_str(), value.size() + 1);
    GlobalUnlock(mem);
    const LPARAM lp = PackDDElParam(WM_DDE_DATA, reinterpret_cast<UINT_PTR>(mem), itemAtom);
    if (PostDde(client, WM_DDE_DATA, self, lp, mem)) ++g_replies;
}

LRESULT CALLBACK ConversationProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    const auto client = reinterpret_cast<HWND>(wp);
    switch (msg) {
    case WM_DDE_REQUEST:
        // Not packed: the format in the low word, the item atom in the high word.
        OnRequest(hwnd, client, LOWORD(lp), HIWORD(lp));
        return 0;
    case WM_DDE_TERMINATE:
        if (g_conversations.count(hwnd) != 0) {
            PostMessageW(client, WM_DDE_TERMINATE, reinterpret_cast<WPARAM>(hwnd), 0);
            g_conversations.erase(hwnd);
            DestroyWindow(hwnd);
        }
        return 0;
    case WM_DDE_ADVISE:
    case WM_DDE_UNADVISE:
    case WM_DDE_POKE:
    case WM_DDE_EXECUTE:
    case WM_DDE_ACK:
        // Only requests are served; anything else is left unanswered and its parameter freed.
        if (msg != WM_DDE_EXECUTE && msg != WM_DDE_UNADVISE) FreeDDElParam(msg, lp);
        return 0;
    default:
        return DefWindowProcW(hwnd, msg, wp, lp);
    }
}

void OnInitiate(HWND client, ATOM serviceAtom, ATOM topicAtom) {
    const std::wstring service = serviceAtom ? AtomName(serviceAtom) : g_options.service;
    if (lstrcmpiW(service.c_str(), g_options.service.c_str()) != 0) return;
    if (topicAtom == 0) return;  // every brand is its own topic: no list of topics to offer
    const std::wstring topic = AtomName(topicAtom);
    if (g_options.refusedTopics.count(topic) != 0) return;
    HWND conv = CreateWindowExW(0, kConversationClass, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, g_instance,
                                nullptr);
    if (conv == nullptr) return;
    g_conversations[conv] = Conversation{client, topic};
    // The answer carries new atoms; the client deletes them.
    const ATOM app = GlobalAddAtomW(g_options.service.c_str());
    const ATOM top = GlobalAddAtomW(topic.c_str());
    SendMessageW(client, WM_DDE_ACK, reinterpret_cast<WPARAM>(conv), MAKELPARAM(app, top));
}

LRESULT CALLBACK MainProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_DDE_INITIATE:
        OnInitiate(reinterpret_cast<HWND>(wp), LOWORD(lp), HIWORD(lp));
        return 0;
    case WM_TIMER:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcW(hwnd, msg, wp, lp);
    }
}

bool ParseOptions(int argc, wchar_t** argv) {
    for (int k = 1; k < argc; ++k) {
        const std::wstring opt = argv[k];
        if (k + 1 >= argc) return false;
        const std::wstring value = argv[++k];
        if (opt == L"--service") {
            g_options.service = value;
        } else if (opt == L"--latency") {
            g_options.latencyMs = static_cast<DWORD>(std::wcstoul(value.c_str(), nullptr, 10));
        } else if (opt == L"--latency-item") {
            g_options.latencyItem = value;
        } else if (opt == L"--refuse-topic") {
            g_options.refusedTopics.insert(value);
        } else if (opt == L"--reply") {
            const auto eq = value.find(L'=');
            if (eq == std::wstring::npos) return false;
            g_options.replies[value.substr(0, eq)] = value.substr(eq + 1);
        } else if (opt == L"--nack-item") {
            g_options.nackItem = value;
        } else if (opt == L"--silent-item") {
            g_options.silentItem = value;
        } else if (opt == L"--lifetime") {
            g_options.lifetimeSec = static_cast<UINT>(std::wcstoul(value.c_str(), nullptr, 10));
        } else {
            return false;
        }
    }
    return true;
}

}  // namespace

int main() {
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (argv == nullptr || !ParseOptions(argc, argv)) {
        std::fputs(
            "usage: rss_test_server [--service S] [--latency MS] [--latency-item ITEM] [--refuse-topic T]\n"
            "                       [--reply ITEM=VALUE]... [--nack-item ITEM] [--silent-item ITEM]\n"
            "                       [--lifetime SEC]\n"
            "Serves the DDE service S (default RSS) and ends by itself after SEC seconds (default 120).\n"
            "An item without --reply is answered with the text \"<topic> <item>\", which is no number:\n"
            "Norvale's table stays empty. Give each item Norvale polls a number, e.g. --reply 現在値=2,345.5.\n"
            "Run it under a Japanese locale (LC_ALL=ja_JP.UTF-8, code page 932): the item names of --reply\n"
            "and the texts sent pass through the ANSI code page. scripts/try-windows does all of this.\n",
            stderr);
        return 2;
    }
    LocalFree(argv);
    g_instance = GetModuleHandleW(nullptr);
    g_senderFreesPosted = GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;

    WNDCLASSW main{};
    main.lpfnWndProc = MainProc;
    main.hInstance = g_instance;
    main.lpszClassName = kMainClass;
    WNDCLASSW conv{};
    conv.lpfnWndProc = ConversationProc;
    conv.hInstance = g_instance;
    conv.lpszClassName = kConversationClass;
    if (!RegisterClassW(&main) || !RegisterClassW(&conv)) return 1;
    // A hidden top-level window: DDE initiation is broadcast to top-level windows only.
    HWND hwnd = CreateWindowExW(0, kMainClass, L"rss_test_server", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                g_instance, nullptr);
    if (hwnd == nullptr) {
        std::fprintf(stderr, "cannot create the window (error %lu)\n", GetLastError());
        return 1;
    }
    SetTimer(hwnd, 1, g_options.lifetimeSec * 1000, nullptr);
    std::printf("ready acp=%u\n", GetACP());
    std::fflush(stdout);

    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);

    for (const auto& [self, c] : g_conversations) {
        PostMessageW(c.client, WM_DDE_TERMINATE, reinterpret_cast<WPARAM>(self), 0);
    }
    std::printf("served %ld\n", g_replies);
    return 0;
}
