#pragma once
// Reading the saved options back: every value falls back to its default when
// it is missing, not a whole number, or out of range for its control.

#include <QString>

namespace platform {
class SettingsStore;
}

namespace tarnwick {

// Pages per linking site by the index stored under "cmbAdvance" (0..12).
inline constexpr int kPageLimitCount = 13;
inline constexpr qint32 kPageLimits[kPageLimitCount] = {1,     10,    50,     100,    500,    1000,  5000,
                                                        10000, 20000, 50000, 100000, 200000, 500000};
// The limit for index; any index outside 0..12 keeps current.
qint32 pageLimitForIndex(int index, qint32 current);

// A whole number in decimal, blanks around it allowed.
bool parseWholeNumber(const QString &text, qint64 &value);

// The stored whole number when it lies within [min, max], else defaultValue.
int storedNumber(const platform::SettingsStore &store, const QString &key, int defaultValue, int min, int max);

// A lifetime counter: a stored whole number of 0 or more, else 0.
qint64 storedCounter(const platform::SettingsStore &store, const QString &key);

} // namespace tarnwick
