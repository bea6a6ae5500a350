// A one-second ticker on the window's thread (the load ticker, the wait ticker). Its ticks reach the core
// through WindowEvents; a tick must be delivered so that further ticks of the same ticker
// can still be delivered while the handler of an earlier one lets events run.
#pragma once

namespace norvale {

class Ticker {
public:
    virtual ~Ticker() = default;
    virtual void SetEnabled(bool on) = 0;
    virtual bool Enabled() const = 0;
};

}  // namespace norvale
