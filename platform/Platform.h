// Everything the core needs of the world, handed to it as one bundle of references.
#pragma once

#include "platform/Alert.h"
#include "platform/Ddeml.h"
#include "platform/EventPump.h"
#include "platform/FileDialog.h"
#include "platform/FileSystem.h"
#include "platform/InstanceGuard.h"
#include "platform/StatusBar.h"
#include "platform/Surface.h"
#include "platform/Ticker.h"
#include "platform/Window.h"

namespace norvale {

struct Platform {
    Window& window;
    StatusBar& statusBar;
    Surface& tableSurface;
    Ticker& loadTicker;  // counts the seconds of a running pass
    Ticker& waitTicker;  // counts the seconds between passes and starts them
    EventPump& events;
    FileDialog& fileDialog;
    Alert& alert;
    FileSystem& files;
    InstanceGuard& instance;
    Ddeml& ddeml;
};

}  // namespace norvale
