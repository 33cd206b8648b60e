#pragma once
// Wall-clock time behind an interface, so texts that carry the time can be tested.

#include <ctime>
#include <string>

class IClock {
public:
    virtual ~IClock() = default;
    /** Seconds since the epoch; GUI thread. */
    virtual std::time_t Now() const = 0;
};

/** The operating system's clock. */
class CSystemClock final : public IClock {
public:
    std::time_t Now() const override;
};

/** A clock that stands still until told otherwise. */
class CFixedClock final : public IClock {
public:
    explicit CFixedClock(std::time_t now) : m_now(now) {}
    std::time_t Now() const override { return m_now; }
    void Set(std::time_t now) { m_now = now; }
    void Advance(std::time_t seconds) { m_now += seconds; }

private:
    std::time_t m_now;
};

/** Formats the local time (TZ applies) with strftime in the "C" locale, so month and day names
 *  are English whatever the user's locale. Empty when the time cannot be converted. */
std::string FormatLocalTime(std::time_t t, const char* strftimeFormat);
