#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <sys/stat.h>
#include <vector>

#include "filter/replacingfile.h"

namespace navorel {

// The files one run writes, made side by side and put in place together:
// none is written over the log the run reads, nor over another of them,
// and none is touched before all of them are whole, so that a run that
// fails leaves every file as it was.
class OutputFiles
{
public:
    // The log the run reads, as its open descriptor gives it, and its name for messages.
    void setInput(const struct stat &input, std::string name);
    // An output asked for with option ("--csv"); returns its place.
    std::size_t add(std::string option, std::string path);

    // Why the outputs cannot be written as asked: "will not write --gpx
    // a.gpx over the log it reads, a.nmea". Empty when they can. Files are
    // the same when device and inode agree, links followed, or, for files
    // not made yet, when their paths lead to the same place.
    std::string clash() const;

    // Makes the room for every output; false when one cannot be made (failed()).
    bool open();
    ReplacingFile &file(std::size_t place) { return *m_outputs[place].file; }
    // Puts every output in place: the ones written into first, the renamed
    // ones last, as a rename fails least. False at the first that fails.
    bool commit();
    // The output that failed, or none.
    const ReplacingFile *failed() const { return m_failed; }

private:
    struct Output
    {
        std::string option;
        std::unique_ptr<ReplacingFile> file;
    };
    // What makes two names one file.
    struct Identity
    {
        bool exists = false;
        bool regular = false;
        dev_t device = 0;
        ino_t inode = 0;
        std::string place; // the resolved path of a file not made yet
        bool sameAs(const Identity &other) const;
    };
    static Identity identityOf(const std::string &path);
    std::string describe(const Output &output) const;

    std::optional<struct stat> m_input;
    std::string m_inputName;
    std::vector<Output> m_outputs;
    const ReplacingFile *m_failed = nullptr;
};

} // namespace navorel
