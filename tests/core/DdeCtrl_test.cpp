// The DDE layer against a recording DDEML: handle and conversation caching, failures and
// recovery, the receive buffer, closing.
#include "quotes/DdeCtrl.h"

#include <gtest/gtest.h>

#include "platform/TextCodec.h"
#include "tests/fakes/FakeDdeml.h"

namespace norvale {
namespace {

// The DDEML calls since the last look, as one line: "+x" made a string handle of x, "-x" freed one;
// topics and items are decoded from CP932, so one sent in another encoding shows garbled.
std::string Calls(FakeDdeml& ddeml) {
    std::string out;
    for (const std::string& call : std::exchange(ddeml.log, {})) {
        std::string c = Cp932ToUtf8(call);
        for (const auto& [name, mark] :
             {std::pair<std::string, std::string>{"CreateStringHandle(", "+"}, {"FreeStringHandle(", "-"}})
            if (c.starts_with(name)) c = mark + c.substr(name.size(), c.size() - name.size() - 1);
        out += (out.empty() ? "" : " ") + c;
    }
    return out;
}

struct Opened {
    FakeDdeml ddeml;
    DdeCtrl dde{ddeml};
    Opened() {
        EXPECT_TRUE(dde.Open("RSS"));
        ddeml.log.clear();
        Answer({"100"});
    }
    // Every request answered with these bytes, or failed with this code.
    void Answer(const FakeDdeml::Reply& r) {
        ddeml.server = [r](const std::string&, const std::string&) { return r; };
    }
    void Fail(std::uint32_t code) { Answer({std::nullopt, code}); }
    // The text of a request, or "failed".
    std::string Ask(const std::string& topic, const std::string& item) {
        const DdeReply reply = dde.Request(topic, item, 500);
        return reply ? *reply.text : "failed";
    }
    std::string Calls() { return norvale::Calls(ddeml); }
};

// Closing frees everything once and forgets the topic.
TEST(DdeOpenClose, InitialisesAClientOnlyInstanceFailsCleanlyWithoutAndFreesEverythingOnce) {
    FakeDdeml ddeml;
    DdeCtrl dde(ddeml);
    EXPECT_TRUE(dde.Open("RSS"));
    EXPECT_EQ(std::tuple(ddeml.initFlags, ddeml.lastCodePage, Calls(ddeml)), std::tuple(0x3C0010u, 1004, "Initialize +RSS"));

    // Without a service handle the instance is given back, and nothing is freed twice.
    FakeDdeml noHandles;
    noHandles.failStringHandles = true;
    DdeCtrl noService(noHandles);
    EXPECT_FALSE(noService.Open("RSS"));
    noService.Close();
    EXPECT_EQ(Calls(noHandles), "Initialize +RSS Uninitialize");

    Opened o;
    ASSERT_EQ(o.Ask("7203.t", "現在値"), "100");
    (void)o.Calls();
    o.dde.Close();
    o.dde.Close();  // a second close frees nothing twice
    EXPECT_EQ(o.Calls(), "-RSS Disconnect(7203.t) -7203.t -現在値 Uninitialize");
    ASSERT_TRUE(o.dde.Open("RSS"));
    (void)o.Calls();
    EXPECT_EQ(o.Ask("7203.t", "現在値"), "100");
    EXPECT_EQ(o.Calls().substr(0, 8), "+7203.t ");
}

TEST(DdeRequest, ReusesTheConversationAndHandlesWhileTopicAndItemStay) {
    Opened o;
    EXPECT_EQ(o.Ask("7203.t", "現在値"), "100");
    EXPECT_EQ(std::tuple(o.ddeml.lastFormat, o.ddeml.lastType), std::tuple(1u, 0x20B0u));
    EXPECT_EQ(o.Ask("7203.t", "現在値"), "100");
    EXPECT_EQ(o.Ask("7203.t", "始値"), "100");
    // A new topic frees the old handle and ends the old conversation before connecting.
    EXPECT_EQ(o.Ask("6758.t", "始値"), "100");
    EXPECT_EQ(o.Calls(), "+7203.t Connect(7203.t) +現在値 Request(7203.t,現在値) Request(7203.t,現在値) -現在値 +始値 "
                         "Request(7203.t,始値) -7203.t +6758.t Disconnect(7203.t) Connect(6758.t) Request(6758.t,始値)");
    EXPECT_EQ(std::tuple(o.ddeml.conversations.size(), o.ddeml.data.size()), std::tuple(1u, 0u));  // data handles freed
}

// A failed connect does not reach the item, and the next topic connects without a disconnect; a topic
// or item handle that could not be made is made at the next request, and no handle that is none is freed.
TEST(DdeRequest, FailedConnectsAndHandlesLeaveTheCacheRetryable) {
    Opened o;
    o.ddeml.serverUp = false;
    EXPECT_EQ(o.Ask("7203.t", "前日終値"), "failed");
    EXPECT_EQ(o.dde.LastErrorText(), "DMLERR_NO_CONV_ESTABLISHED クライアントが対話を確立しようとして失敗しました。");
    EXPECT_EQ(o.Calls(), "+7203.t Connect(7203.t)");
    o.ddeml.serverUp = true;
    EXPECT_EQ(o.Ask("6758.t", "高値"), "100");
    EXPECT_EQ(o.Calls(), "-7203.t +6758.t Connect(6758.t) +高値 Request(6758.t,高値)");

    o.ddeml.failStringHandles = true;
    EXPECT_EQ(o.Ask("7203.t", "安値"), "failed");
    o.ddeml.failStringHandles = false;
    (void)o.Calls();
    EXPECT_EQ(o.Ask("7203.t", "安値"), "100");
    EXPECT_EQ(o.Calls().substr(0, 8), "+7203.t ");
}

// Only a refused item keeps the conversation. Any other failure drops it, so the next request
// of the topic connects anew; a server that went away also gets a new instance, since its
// conversation cannot be ended or replaced within the old one.
TEST(DdeRequest, AFailureOtherThanARefusedItemDropsTheConversation) {
    const char* const kept = "Request(7203.t,現在値)";
    const char* const dropped = "Request(7203.t,現在値) Disconnect(7203.t)";
    const char* const reopened =
        "Request(7203.t,現在値) -RSS Disconnect(7203.t) -7203.t -現在値 Uninitialize Initialize +RSS";
    for (const auto& [code, calls] : {std::pair{dmlerr::kNotProcessed, kept}, {dmlerr::kDataAckTimeout, dropped},
                                      {dmlerr::kNoConvEstablished, reopened}, {dmlerr::kServerDied, reopened}}) {
        SCOPED_TRACE(code);
        Opened o;
        ASSERT_EQ(o.Ask("7203.t", "現在値"), "100");
        o.Fail(code);
        (void)o.Calls();
        const DdeReply reply = o.dde.Request("7203.t", "現在値", 500);
        EXPECT_EQ(std::tuple(reply.text, reply.error, o.Calls()), std::tuple(std::nullopt, code, calls));
        o.Answer({"2,000"});
        EXPECT_EQ(o.Ask("7203.t", "現在値"), "2,000");
        // A new instance needs a new item handle: one of the old would name no item.
        const std::string again = o.Calls();
        EXPECT_EQ(again.find("Connect(7203.t)") != std::string::npos, calls != kept) << again;
        EXPECT_TRUE(again.ends_with("Request(7203.t,現在値)")) << again;
    }
}

// A server that died gets a new instance. If that cannot be had at once (no instance, or no service
// handle), the pass goes on failing fast, and the next pass tries again.
TEST(DdeRequest, AnInstanceThatCouldNotBeReopenedIsTriedAgainAtTheNextPass) {
    for (const bool serviceHandleFails : {false, true}) {
        SCOPED_TRACE(serviceHandleFails ? "no service handle" : "no instance");
        Opened o;
        ASSERT_EQ(o.Ask("7203.t", "現在値"), "100");
        o.Fail(dmlerr::kServerDied);
        o.ddeml.initError = serviceHandleFails ? 0 : dmlerr::kSysError;
        o.ddeml.failStringHandles = serviceHandleFails;
        EXPECT_EQ(o.Ask("7203.t", "現在値"), "failed");
        o.ddeml.initError = 0;
        o.ddeml.failStringHandles = false;
        o.Answer({"2,000"});
        EXPECT_EQ(o.Ask("7203.t", "現在値"), "failed");
        o.dde.RetryFailures();
        EXPECT_EQ(o.Ask("7203.t", "現在値"), "2,000");
        EXPECT_EQ(o.Ask("6758.t", "高値"), "2,000");
    }
}

// Every request waits its own limit, whatever its connect took: a server slow to accept and slow to
// answer, each within the limit, gives every value of a brand; one that never answers costs each
// request at most its connect and its limit. A limit below 1 ms fails without any transaction.
TEST(DdeRequest, EveryRequestWaitsItsOwnLimitWhateverItsConnectTook) {
    constexpr std::int64_t kNever = 1'000'000;
    const struct { std::int64_t connectMs, answerMs; int answered; } cases[] = {
        {300, 250, 16}, {100, 450, 16}, {600, 10, 16}, {400, kNever, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.connectMs) + " ms to accept, " + std::to_string(c.answerMs) + " to answer");
        Opened o;
        o.ddeml.connectMs = c.connectMs;
        o.Answer({"100", dmlerr::kNotProcessed, c.answerMs});
        for (const char* topic : {"7203.t", "6758.t"}) {
            int answered = 0;
            for (int k = 0; k < 16; ++k) {
                const std::int64_t start = o.ddeml.clockMs;
                answered += o.dde.Request(topic, "item" + std::to_string(k), 500) ? 1 : 0;
                EXPECT_LE(o.ddeml.clockMs - start, c.connectMs + 500) << topic << " request " << k;
            }
            EXPECT_EQ(answered, c.answered) << topic;
        }
    }
    Opened o;
    EXPECT_EQ(o.dde.Request("7203.t", "現在値", 0).error, dmlerr::kDataAckTimeout);
    EXPECT_EQ(o.ddeml.requests, 0);
}

// Every length and byte is fuzz_dde_reply's; these pin its definition.
TEST(DdeRequest, ConvertsTheFirst512BytesUpToTheFirstNul) {
    Opened o;
    auto ask = [&](std::string bytes) {
        o.Answer({bytes});
        return o.Ask("7203.t", "現在値");
    };
    EXPECT_EQ(ask(std::string(600, '9')), std::string(512, '9'));
    EXPECT_EQ(ask(std::string("12\0 34", 6)), "12");
    // A double-byte character cut by the buffer's end becomes a replacement character, not garbage.
    EXPECT_EQ(ask(std::string(511, 'a') + Utf8ToCp932("値")), std::string(511, 'a') + "\xEF\xBF\xBD");
}

}  // namespace
}  // namespace norvale
