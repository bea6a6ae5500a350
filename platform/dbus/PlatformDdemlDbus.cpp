// MakePlatformDdeml for builds that use the D-Bus stand-in.
#include <QCoreApplication>

#include "platform/PlatformDdeml.h"
#include "platform/dbus/DbusDdeml.h"

namespace norvale {

namespace {

// QtDBus wants an application object; a plain C++ caller (the probe) may have none.
struct ApplicationHolder {
    std::unique_ptr<QCoreApplication> app;
    ApplicationHolder() {
        if (QCoreApplication::instance() != nullptr) return;
        static int argc = 1;
        static char name[] = "norvale";
        static char* argv[] = {name, nullptr};
        app = std::make_unique<QCoreApplication>(argc, argv);
    }
};

// The holder comes first, so the application outlives the bus connections.
class OwningDbusDdeml : private ApplicationHolder, public DbusDdeml {};

}  // namespace

std::unique_ptr<Ddeml> MakePlatformDdeml() { return std::make_unique<OwningDbusDdeml>(); }

}  // namespace norvale
