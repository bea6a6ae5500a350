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

DdeHandle DbusDdeml::Fail(std::uint32_t instance, std::uint32_t code) {
    const auto it = instances_.find(instance);
    if (it != instances_.end()) it->second.lastError = code;
    return 0;
}

void DbusDdeml::FailEverywhere(std::uint32_t code) {
    for (auto& [id, instance] : instances_) instance.lastError = code;
}

std::uint32_t DbusDdeml::Initialize(std::uint32_t& instance, std::uint32_t) {
    const QString name = NextConnectionName();
    QDBusConnection connection = QDBusConnection::connectToBus(QDBusConnection::SessionBus, name);
    if (!connection.isConnected()) {
        QDBusConnection::disconnectFromBus(name);
        return dmlerr::kSysError;
    }
    instance = nextInstance_++;
    instances_[instance].connection = connection;
    return dmlerr::kNoError;
}

DdeHandle DbusDdeml::CreateStringHandle(std::uint32_t instance, std::string_view ansi, int) {
    if (instances_.count(instance) == 0) return 0;
    if (ansi.empty()) return Fail(instance, dmlerr::kInvalidParameter);
    const DdeHandle handle = nextHandle_++;
    strings_[handle] = StringHandle{instance, QString::fromStdString(Cp932ToUtf8(ansi))};
    return handle;
}

bool DbusDdeml::FreeStringHandle(std::uint32_t instance, DdeHandle handle) {
    const auto it = strings_.find(handle);
    if (it == strings_.end() || it->second.instance != instance) return Fail(instance, dmlerr::kInvalidParameter);
    strings_.erase(it);
    return true;
}

DdeHandle DbusDdeml::Connect(std::uint32_t instance, DdeHandle service, DdeHandle topic) {
    const auto inst = instances_.find(instance);
    if (inst == instances_.end()) return 0;
    const auto s = strings_.find(service);
    const auto t = strings_.find(topic);
    if (s == strings_.end() || t == strings_.end()) return Fail(instance, dmlerr::kInvalidParameter);

    QDBusMessage call = QDBusMessage::createMethodCall(busNamePrefix_ + s->second.text, quotebus::kObjectPath,
                                                       quotebus::kInterface, quotebus::kServesTopic);
    call << t->second.text;
    const QDBusMessage reply = inst->second.connection.call(call, QDBus::Block, connectTimeoutMs_);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.signature() != QStringLiteral("b") ||
        !reply.arguments().value(0).toBool())
        return Fail(instance, dmlerr::kNoConvEstablished);

    QString server = reply.service();
    if (server.isEmpty()) server = inst->second.connection.interface()->serviceOwner(call.service());
    if (server.isEmpty()) return Fail(instance, dmlerr::kNoConvEstablished);
    const DdeHandle conversation = nextHandle_++;
    conversations_[conversation] = Conversation{instance, server, t->second.text};
    return conversation;
}

bool DbusDdeml::Disconnect(DdeHandle conversation) {
    // Nothing to tell the server: it keeps no state per conversation.
    if (conversations_.erase(conversation) == 0) {
        FailEverywhere(dmlerr::kNoConvEstablished);
        return false;
    }
    return true;
}

DdeHandle DbusDdeml::ClientTransaction(DdeHandle conversation, DdeHandle item, std::uint32_t format,
                                       std::uint32_t type, std::uint32_t timeoutMs) {
    const auto c = conversations_.find(conversation);
    if (c == conversations_.end()) {
        // Without a conversation there is no instance to charge the error to but the live ones.
        FailEverywhere(dmlerr::kNoConvEstablished);
        return 0;
    }
    const std::uint32_t instance = c->second.instance;
    const auto i = strings_.find(item);
    if (i == strings_.end() || timeoutMs == 0) return Fail(instance, dmlerr::kInvalidParameter);
    if (format != kCfText || type != kXtypRequest) return Fail(instance, dmlerr::kNotProcessed);

    QDBusMessage call = QDBusMessage::createMethodCall(c->second.server, quotebus::kObjectPath,
                                                       quotebus::kInterface, quotebus::kRequest);
    call << c->second.topic << i->second.text;
    const int limit = static_cast<int>(std::min<std::uint32_t>(timeoutMs, INT_MAX));
    QElapsedTimer clock;
    clock.start();
    const QDBusMessage reply = instances_[instance].connection.call(call, QDBus::Block, limit);
    if (reply.type() != QDBusMessage::ReplyMessage)
        return Fail(instance, RequestErrorCode(reply, clock.elapsed(), timeoutMs));
    if (reply.signature() != QStringLiteral("ay")) return Fail(instance, dmlerr::kNotProcessed);

    const QByteArray bytes = reply.arguments().value(0).toByteArray();
    Data data{instance, std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()))};
    // A bridge that leaves out the terminating NUL still gives a proper CF_TEXT.
    if (data.bytes.empty() || data.bytes.back() != '\0') data.bytes.push_back('\0');
    const DdeHandle handle = nextHandle_++;
    data_.emplace(handle, std::move(data));
    return handle;
}

std::uint32_t DbusDdeml::GetData(DdeHandle data, char* buffer, std::uint32_t length, std::uint32_t offset) {
    const auto d = data_.find(data);
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

bool DbusDdeml::FreeDataHandle(DdeHandle data) {
    if (data_.erase(data) == 0) {
        FailEverywhere(dmlerr::kInvalidParameter);
        return false;
    }
    return true;
}

std::uint32_t DbusDdeml::GetLastError(std::uint32_t instance) {
    const auto it = instances_.find(instance);
    if (it == instances_.end()) return dmlerr::kDllNotInitialized;
    return std::exchange(it->second.lastError, 0u);
}

bool DbusDdeml::Uninitialize(std::uint32_t instance) {
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
