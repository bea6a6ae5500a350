#include "platform/dbus/DbusDdeml.h"

#include <QDBusConnectionInterface>
#include <QDBusError>
#include <QDBusMessage>
#include <QElapsedTimer>

#include <algorithm>
#include <climits>
#include <cstring>
#include <utility>

#include "platform/TextCodec.h"

namespace norvale {

namespace {

// Bus connections are named per process; several DbusDdeml objects may live side by side.
QString NextConnectionName() {
    static int counter = 0;
    return QStringLiteral("norvale-ddeml-%1").arg(++counter);
}

// The DMLERR code a real DDEML gives for what went wrong with a request.
std::uint32_t RequestErrorCode(const QDBusMessage& reply, qint64 elapsedMs, std::uint32_t timeoutMs) {
    const QString name = reply.errorName();
    if (name == QDBusError::errorString(QDBusError::NoReply)) {
        // The bus answers NoReply both for our time limit and at once for a server that died
        // with the call pending; only the clock tells them apart.
        return elapsedMs * 10 >= static_cast<qint64>(timeoutMs) * 9 ? dmlerr::kDataAckTimeout : dmlerr::kPostMsgFailed;
    }
    if (name == QDBusError::errorString(QDBusError::Timeout)) return dmlerr::kDataAckTimeout;
    if (name == QDBusError::errorString(QDBusError::ServiceUnknown) ||
        name == QStringLiteral("org.freedesktop.DBus.Error.NameHasNoOwner") ||
        name == QDBusError::errorString(QDBusError::Disconnected))
        return dmlerr::kPostMsgFailed;
    return dmlerr::kNotProcessed;
}

}  // namespace

DbusDdeml::DbusDdeml(QString busNamePrefix, int connectTimeoutMs)
    : busNamePrefix_(std::move(busNamePrefix)), connectTimeoutMs_(connectTimeoutMs) {
    // QtDBus reports every error reply through a queued signal of its own; unless these types are
    // registered before the first one, its thread warns "invalid type" now and then.
    qRegisterMetaType<QDBusError>();
    qRegisterMetaType<QDBusMessage>();
}

DbusDdeml::~DbusDdeml() {
    for (auto& [id, instance] : instances_) QDBusConnection::disconnectFromBus(instance.connection.name());
}

void DbusDdeml::Charge(std::uint32_t instance, std::uint32_t code) {
    const auto it = instances_.find(instance);
    if (it != instances_.end()) it->second.lastError = code;
}

void DbusDdeml::FailEverywhere(std::uint32_t code) {
    for (auto& [id, instance] : instances_) instance.lastError = code;
}

std::uint32_t DbusDdeml::Initialize(DdeInstance& instance, std::uint32_t) {
    const QString name = NextConnectionName();
    QDBusConnection connection = QDBusConnection::connectToBus(QDBusConnection::SessionBus, name);
    if (!connection.isConnected()) {
        QDBusConnection::disconnectFromBus(name);
        return dmlerr::kSysError;
    }
    const std::uint32_t id = nextInstance_++;
    instances_[id].connection = connection;
    instance = static_cast<DdeInstance>(id);
    return dmlerr::kNoError;
}

DdeString DbusDdeml::CreateStringHandle(DdeInstance instanceHandle, std::string_view ansi, int) {
    const auto instance = static_cast<std::uint32_t>(instanceHandle);
    if (instances_.count(instance) == 0) return DdeString::kNone;
    if (ansi.empty()) {
        Charge(instance, dmlerr::kInvalidParameter);
        return DdeString::kNone;
    }
    const Handle handle = nextHandle_++;
    strings_[handle] = StringHandle{instance, QString::fromStdString(Cp932ToUtf8(ansi))};
    return static_cast<DdeString>(handle);
}

bool DbusDdeml::FreeStringHandle(DdeInstance instanceHandle, DdeString handle) {
    const auto instance = static_cast<std::uint32_t>(instanceHandle);
    const auto it = strings_.find(static_cast<Handle>(handle));
    if (it == strings_.end() || it->second.instance != instance) {
        Charge(instance, dmlerr::kInvalidParameter);
        return false;
    }
    strings_.erase(it);
    return true;
}

DdeConversation DbusDdeml::Connect(DdeInstance instanceHandle, DdeString service, DdeString topic) {
    const auto instance = static_cast<std::uint32_t>(instanceHandle);
    const auto inst = instances_.find(instance);
    if (inst == instances_.end()) return DdeConversation::kNone;
    const auto s = strings_.find(static_cast<Handle>(service));
    const auto t = strings_.find(static_cast<Handle>(topic));
    const auto fail = [&](std::uint32_t code) {
        Charge(instance, code);
        return DdeConversation::kNone;
    };
    if (s == strings_.end() || t == strings_.end()) return fail(dmlerr::kInvalidParameter);

    QDBusMessage call = QDBusMessage::createMethodCall(busNamePrefix_ + s->second.text, quotebus::kObjectPath,
                                                       quotebus::kInterface, quotebus::kServesTopic);
    call << t->second.text;
    const QDBusMessage reply = inst->second.connection.call(call, QDBus::Block, connectTimeoutMs_);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.signature() != QStringLiteral("b") ||
        !reply.arguments().value(0).toBool())
        return fail(dmlerr::kNoConvEstablished);

    QString server = reply.service();
    if (server.isEmpty()) server = inst->second.connection.interface()->serviceOwner(call.service());
    if (server.isEmpty()) return fail(dmlerr::kNoConvEstablished);
    const Handle conversation = nextHandle_++;
    conversations_[conversation] = Conversation{instance, server, t->second.text};
    return static_cast<DdeConversation>(conversation);
}

bool DbusDdeml::Disconnect(DdeConversation conversation) {
    // Nothing to tell the server: it keeps no state per conversation.
    if (conversations_.erase(static_cast<Handle>(conversation)) == 0) {
        FailEverywhere(dmlerr::kNoConvEstablished);
        return false;
    }
    return true;
}

DdeData DbusDdeml::ClientTransaction(DdeConversation conversation, DdeString item, std::uint32_t format,
                                     std::uint32_t type, std::uint32_t timeoutMs) {
    const auto c = conversations_.find(static_cast<Handle>(conversation));
    if (c == conversations_.end()) {
        // Without a conversation there is no instance to charge the error to but the live ones.
        FailEverywhere(dmlerr::kNoConvEstablished);
        return DdeData::kNone;
    }
    const std::uint32_t instance = c->second.instance;
    const auto fail = [&](std::uint32_t code) {
        Charge(instance, code);
        return DdeData::kNone;
    };
    const auto i = strings_.find(static_cast<Handle>(item));
    if (i == strings_.end() || timeoutMs == 0) return fail(dmlerr::kInvalidParameter);
    if (format != kCfText || type != kXtypRequest) return fail(dmlerr::kNotProcessed);

    QDBusMessage call = QDBusMessage::createMethodCall(c->second.server, quotebus::kObjectPath,
                                                       quotebus::kInterface, quotebus::kRequest);
    call << c->second.topic << i->second.text;
    const int limit = static_cast<int>(std::min<std::uint32_t>(timeoutMs, INT_MAX));
    QElapsedTimer clock;
    clock.start();
    const QDBusMessage reply = instances_[instance].connection.call(call, QDBus::Block, limit);
    if (reply.type() != QDBusMessage::ReplyMessage)
        return fail(RequestErrorCode(reply, clock.elapsed(), timeoutMs));
    if (reply.signature() != QStringLiteral("ay")) return fail(dmlerr::kNotProcessed);

    const QByteArray bytes = reply.arguments().value(0).toByteArray();
    Data data{instance, std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()))};
    // A bridge that leaves out the terminating NUL still gives a proper CF_TEXT.
    if (data.bytes.empty() || data.bytes.back() != '\0') data.bytes.push_back('\0');
    const Handle handle = nextHandle_++;
    data_.emplace(handle, std::move(data));
    return static_cast<DdeData>(handle);
}

std::uint32_t DbusDdeml::GetData(DdeData data, char* buffer, std::uint32_t length, std::uint32_t offset) {
    const auto d = data_.find(static_cast<Handle>(data));
    if (d == data_.end()) {
        FailEverywhere(dmlerr::kInvalidParameter);
        return 0;
    }
    const std::string& bytes = d->second.bytes;
    if (buffer == nullptr) return static_cast<std::uint32_t>(bytes.size());
    if (offset >= bytes.size()) return 0;
    const auto count = static_cast<std::uint32_t>(std::min<std::size_t>(length, bytes.size() - offset));
    std::memcpy(buffer, bytes.data() + offset, count);
    return count;
}

bool DbusDdeml::FreeDataHandle(DdeData data) {
    if (data_.erase(static_cast<Handle>(data)) == 0) {
        FailEverywhere(dmlerr::kInvalidParameter);
        return false;
    }
    return true;
}

std::uint32_t DbusDdeml::GetLastError(DdeInstance instance) {
    const auto it = instances_.find(static_cast<std::uint32_t>(instance));
    if (it == instances_.end()) return dmlerr::kDllNotInitialized;
    return std::exchange(it->second.lastError, 0u);
}

bool DbusDdeml::Uninitialize(DdeInstance instanceHandle) {
    const auto instance = static_cast<std::uint32_t>(instanceHandle);
    const auto it = instances_.find(instance);
    if (it == instances_.end()) return false;
    std::erase_if(strings_, [&](const auto& entry) { return entry.second.instance == instance; });
    std::erase_if(conversations_, [&](const auto& entry) { return entry.second.instance == instance; });
    std::erase_if(data_, [&](const auto& entry) { return entry.second.instance == instance; });
    QDBusConnection::disconnectFromBus(it->second.connection.name());
    instances_.erase(it);
    return true;
}

}  // namespace norvale
