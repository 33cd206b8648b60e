#pragma once
// The plot channels of a module view, one per signal channel. Nothing of it is stored.

#include "plot/Channel.h"
#include "base/RuntimeClass.h"

#include <memory>
#include <vector>

class CChannelList : public CObject {
    AURIVO_DECLARE_SERIAL(CChannelList)
public:
    /** Appends `count` fresh channels, numbered on from those already held; false for a
     *  negative count. */
    bool Create(int count);
    /** Channel `index` (0-based), or null. */
    CChannel* GetAt(int index) const;
    int GetCount() const { return static_cast<int>(m_channels.size()); }

    /** A channel list stores no fields. */
    void Serialize(CArchive&) override {}

private:
    std::vector<std::unique_ptr<CChannel>> m_channels;
};
