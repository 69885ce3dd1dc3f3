#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace navorel {

// The files last opened or saved, newest first, each once: what the File
// menu offers again after a restart.
class RecentList
{
public:
    static constexpr std::size_t kMaxEntries = 8;

    const std::vector<std::string> &paths() const { return m_paths; }
    // Puts path first; an entry already there moves up, the oldest falls
    // off past kMaxEntries. An empty path changes nothing.
    void add(const std::string &path);
    // As read from a file: empty and repeated entries left out, the rest
    // in their order, no more than kMaxEntries.
    void setPaths(const std::vector<std::string> &paths);

    bool operator==(const RecentList &) const = default;

private:
    std::vector<std::string> m_paths;
};

} // namespace navorel
