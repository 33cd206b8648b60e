#include "plot/ChannelList.h"

AURIVO_IMPLEMENT_SERIAL(CChannelList, nullptr);

bool CChannelList::Create(int count) {
    if (count < 0) return false;
    for (int i = 0; i < count; ++i) {
        auto channel = std::make_unique<CChannel>();
        channel->m_index = GetCount();
        m_channels.push_back(std::move(channel));
    }
    return true;
}

CChannel* CChannelList::GetAt(int index) const {
    if (index < 0 || index >= GetCount()) return nullptr;
    return m_channels[size_t(index)].get();
}
