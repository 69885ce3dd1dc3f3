#include "filter/outputfiles.h"

#include <climits>
#include <cstdlib>
#include <unistd.h>

namespace navorel {

namespace {

constexpr int kLinksMax = 40;

// Where a name that does not exist yet would be made: its links followed,
// its folder made absolute.
std::string placeOf(const std::string &path)
{
    std::string current = path;
    for (int i = 0; i < kLinksMax; ++i) {
        char link[PATH_MAX];
        const ssize_t length = ::readlink(current.c_str(), link, sizeof link - 1);
        if (length < 0)
            break;
        const std::string target(link, static_cast<std::size_t>(length));
        const std::size_t slash = current.rfind('/');
        current = target.front() == '/' || slash == std::string::npos ? target
                                                                      : current.substr(0, slash + 1) + target;
    }
    const std::size_t slash = current.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : current.substr(0, slash);
    const std::string name = slash == std::string::npos ? current : current.substr(slash + 1);
    char resolved[PATH_MAX];
    if (::realpath(folder.c_str(), resolved) == nullptr)
        return current;
    return std::string(resolved) + "/" + name;
}

} // namespace

bool OutputFiles::Identity::sameAs(const Identity &other) const
{
    if (exists != other.exists)
        return false;
    // Writing twice into a FIFO or a terminal replaces nothing.
    if (exists)
        return regular && other.regular && device == other.device && inode == other.inode;
    return place == other.place;
}

OutputFiles::Identity OutputFiles::identityOf(const std::string &path)
{
    Identity identity;
    struct stat info
    {};
    if (::stat(path.c_str(), &info) == 0) {
        identity.exists = true;
        identity.regular = S_ISREG(info.st_mode);
        identity.device = info.st_dev;
        identity.inode = info.st_ino;
    } else {
        identity.place = placeOf(path);
    }
    return identity;
}

void OutputFiles::setInput(const struct stat &input, std::string name)
{
    m_input = input;
    m_inputName = std::move(name);
}

std::size_t OutputFiles::add(std::string option, std::string path)
{
    m_outputs.push_back({std::move(option), std::make_unique<ReplacingFile>(std::move(path))});
    return m_outputs.size() - 1;
}

std::string OutputFiles::describe(const Output &output) const
{
    return output.option + " " + output.file->path();
}

std::string OutputFiles::clash() const
{
    std::vector<Identity> identities;
    for (const Output &output : m_outputs) {
        const Identity identity = identityOf(output.file->path());
        // Any kind of file: a log read from a terminal or a FIFO must not be written to either.
        if (m_input && identity.exists && identity.device == m_input->st_dev
            && identity.inode == m_input->st_ino)
            return "will not write " + describe(output) + " over the log it reads, " + m_inputName;
        for (std::size_t other = 0; other < identities.size(); ++other) {
            if (identity.sameAs(identities[other]))
                return "will not write " + describe(output) + " over " + describe(m_outputs[other])
                       + ", the same file";
        }
        identities.push_back(identity);
    }
    return {};
}

bool OutputFiles::open()
{
    m_failed = nullptr;
    for (Output &output : m_outputs) {
        if (!output.file->open()) {
            m_failed = output.file.get();
            return false;
        }
    }
    return true;
}

bool OutputFiles::commit()
{
    m_failed = nullptr;
    for (const bool renamed : {false, true}) {
        for (Output &output : m_outputs) {
            if (output.file->renames() != renamed)
                continue;
            if (!output.file->commit()) {
                m_failed = output.file.get();
                for (Output &rest : m_outputs)
                    rest.file->discard();
                return false;
            }
        }
    }
    return true;
}

} // namespace navorel
