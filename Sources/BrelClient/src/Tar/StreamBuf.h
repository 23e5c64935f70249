#pragma once

#include "Extension.h"
#include "Header.h"
#include "Md5Worker.h"

#include <boost/filesystem/path.hpp>

#include <atomic>
#include <cstdint>
#include <fstream>
#include <streambuf>
#include <string>
#include <vector>

namespace Brel {
namespace Tar {

// Unpacks the tar archive written into it below a root folder while computing
// the MD5 of every byte written. Writes may split the archive anywhere.
class StreamBuf : public std::streambuf {
public:
    explicit StreamBuf(boost::filesystem::path root);
    ~StreamBuf() override;

    const boost::filesystem::path& Root() const { return root_; }
    // See Stream::GetMd5 and Stream::Finish.
    std::string GetMd5();
    void Finish();

protected:
    std::streamsize xsputn(const char* data, std::streamsize count) override;
    // The position is the number of bytes written so far, whatever is asked;
    // -1 once a write has failed, so nobody resumes behind lost bytes.
    pos_type seekoff(off_type, std::ios_base::seekdir, std::ios_base::openmode) override;
    int sync() override;

private:
    enum class Phase { Header, Data, Padding, End };
    enum class Sink { File, Pax, LongName, Discard };

    template <typename Work> void Latching(Work work);
    void Consume(const char* data, std::size_t count);
    std::size_t FillHeader(const char* data, std::size_t count);
    std::size_t TakeData(const char* data, std::size_t count);
    std::size_t SkipPadding(std::size_t count);
    void OnHeader();
    void StartExtension(Sink sink, std::int64_t size);
    void StartEntry(const Header& header);
    void CreateDirectory(const boost::filesystem::path& path, std::int64_t size);
    void CreateFile(const boost::filesystem::path& path, std::int64_t size);
    void StartData(Sink sink, std::int64_t size);
    void EndData();
    void CloseFile();
    void SyncFileSystem() const;

    boost::filesystem::path root_;
    std::ofstream file_;
    std::vector<char> fileBuffer_;
    Header::Block header_ {};
    std::size_t headerFill_ = 0;
    Phase phase_ = Phase::Header;
    Sink sink_ = Sink::Discard;
    std::int64_t entryRemaining_ = 0;
    std::int64_t paddingRemaining_ = 0;
    std::string extensionData_;
    Extension extension_;
    std::atomic<std::int64_t> streamWritten_ {0};
    bool failed_ = false;
    Md5Worker md5_;
};

} // namespace Tar
} // namespace Brel
