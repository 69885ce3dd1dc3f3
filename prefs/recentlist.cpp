#include "prefs/recentlist.h"

#include <algorithm>

namespace navorel {

void RecentList::add(const std::string &path)
{
    if (path.empty())
        return;
    std::erase(m_paths, path);
    m_paths.insert(m_paths.begin(), path);
    if (m_paths.size() > kMaxEntries)
        m_paths.resize(kMaxEntries);
}

void RecentList::setPaths(const std::vector<std::string> &paths)
{
    m_paths.clear();
    for (const std::string &path : paths) {
        if (m_paths.size() == kMaxEntries)
            break;
        if (!path.empty() && std::find(m_paths.begin(), m_paths.end(), path) == m_paths.end())
            m_paths.push_back(path);
    }
}

} // namespace navorel
