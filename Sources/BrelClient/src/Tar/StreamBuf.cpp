#include "StreamBuf.h"

#include "DirectoryError.h"
#include "EntryPath.h"
#include "Log.h"

#include <boost/filesystem/operations.hpp>
#include <boost/numeric/conversion/cast.hpp>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <system_error>

#include <fcntl.h>
#include <unistd.h>

namespace Brel {
namespace Tar {

namespace {

constexpr std::size_t fileBufferSize = 32768;
// Extension entries are held in memory; real ones are a few hundred bytes.
constexpr std::int64_t maxExtensionSize = 1 << 20;

std::int64_t PaddingAfter(std::int64_t size)
{
    const auto block = static_cast<std::int64_t>(Header::blockSize);
    return (block - size % block) % block;
}

[[noreturn]] void Refuse(const std::string& what, const std::string& name)
{
    throw std::runtime_error("refused tar entry (" + what + "): " + name);
}

} // namespace

StreamBuf::StreamBuf(boost::filesystem::path root)
    : root_(std::move(root))
    , fileBuffer_(fileBufferSize)
{
}

StreamBuf::~StreamBuf() = default;

std::string StreamBuf::GetMd5()
{
    return md5_.Finish();
}

// A failure is kept: once anything went wrong the stream refuses all further
// work, so nothing continues behind bytes that never reached the device.
template <typename Work> void StreamBuf::Latching(Work work)
{
    if (failed_)
        throw std::runtime_error("tar stream failed earlier");
    try {
        work();
    } catch (...) {
        failed_ = true;
        throw;
    }
}

void StreamBuf::Finish()
{
    Latching([this] {
        if (phase_ == Phase::Data || headerFill_ != 0)
            throw std::runtime_error("tar archive ends inside an entry");
        SyncFileSystem();
    });
}

std::streamsize StreamBuf::xsputn(const char* data, std::streamsize count)
{
    const auto size = boost::numeric_cast<std::uint32_t>(count);
    Latching([&] {
        md5_.Update(data, size);
        Consume(data, size);
    });
    streamWritten_ += size;
    LOG_BREL(Debug) << streamWritten_.load() << " bytes processed";
    return count;
}

StreamBuf::pos_type StreamBuf::seekoff(off_type, std::ios_base::seekdir, std::ios_base::openmode)
{
    return failed_ ? pos_type(off_type(-1)) : pos_type(off_type(streamWritten_.load()));
}

int StreamBuf::sync()
{
    return 0;
}

void StreamBuf::Consume(const char* data, std::size_t count)
{
    while (count > 0 && phase_ != Phase::End) {
        std::size_t taken = 0;
        switch (phase_) {
        case Phase::Header:
            taken = FillHeader(data, count);
            break;
        case Phase::Data:
            taken = TakeData(data, count);
            break;
        case Phase::Padding:
            taken = SkipPadding(count);
            break;
        case Phase::End:
            break;
        }
        data += taken;
        count -= taken;
    }
}

std::size_t StreamBuf::FillHeader(const char* data, std::size_t count)
{
    const std::size_t taken = std::min(count, Header::blockSize - headerFill_);
    std::memcpy(header_.data() + headerFill_, data, taken);
    headerFill_ += taken;
    if (headerFill_ == Header::blockSize) {
        headerFill_ = 0;
        OnHeader();
    }
    return taken;
}

std::size_t StreamBuf::TakeData(const char* data, std::size_t count)
{
    const auto taken = static_cast<std::size_t>(std::min<std::int64_t>(count, entryRemaining_));
    if (sink_ == Sink::File)
        file_.write(data, static_cast<std::streamsize>(taken));
    else if (sink_ != Sink::Discard)
        extensionData_.append(data, taken);
    entryRemaining_ -= static_cast<std::int64_t>(taken);
    if (entryRemaining_ == 0)
        EndData();
    return taken;
}

std::size_t StreamBuf::SkipPadding(std::size_t count)
{
    const auto taken = static_cast<std::size_t>(std::min<std::int64_t>(count, paddingRemaining_));
    paddingRemaining_ -= static_cast<std::int64_t>(taken);
    if (paddingRemaining_ == 0)
        phase_ = Phase::Header;
    return taken;
}

// Everything after the first end-of-archive block is ignored (it is still
// hashed and counted), however the writes were split.
void StreamBuf::OnHeader()
{
    const Header header(header_);
    if (header.IsEnd()) {
        LOG_BREL(Debug) << "End of archive";
        phase_ = Phase::End;
        return;
    }
    header.Verify();
    switch (header.Type()) {
    case 'x':
        return StartExtension(Sink::Pax, header.Size());
    case 'L':
        return StartExtension(Sink::LongName, header.Size());
    case 'g':
    case 'K':
        return StartExtension(Sink::Discard, header.Size());
    case '\0':
    case '0':
    case '5':
    case '7':
        return StartEntry(header);
    case '1':
    case '2':
        Refuse("link", header.Name());
    case '3':
    case '4':
    case '6':
        Refuse("device or FIFO", header.Name());
    default:
        Refuse(std::string("type '") + header.Type() + "'", header.Name());
    }
}

void StreamBuf::StartExtension(Sink sink, std::int64_t size)
{
    if (size > maxExtensionSize)
        throw std::runtime_error("tar extension entry too large");
    extensionData_.clear();
    StartData(sink, size);
}

void StreamBuf::StartEntry(const Header& header)
{
    const std::string name = extension_.TakeName(header.Name());
    const std::int64_t size = extension_.TakeSize(header.Size());
    const boost::filesystem::path path = EntryPath::Resolve(root_, name);
    if (header.Type() == '5' || EntryPath::NamesFolder(name))
        CreateDirectory(path, size);
    else
        CreateFile(path, size);
}

void StreamBuf::CreateDirectory(const boost::filesystem::path& path, std::int64_t size)
{
    LOG_BREL(Debug) << "Creating directory: " << path;
    if (!boost::filesystem::create_directory(path))
        throw DirectoryError("failed to create directory: " + path.string());
    if (size != 0)
        throw DirectoryError("non-zero size for directory");
    phase_ = Phase::Header;
}

void StreamBuf::CreateFile(const boost::filesystem::path& path, std::int64_t size)
{
    LOG_BREL(Debug) << "Creating file: " << path;
    file_.exceptions(std::ios::goodbit);
    file_.rdbuf()->pubsetbuf(fileBuffer_.data(), static_cast<std::streamsize>(fileBuffer_.size()));
    file_.open(path.string(), std::ios::binary | std::ios::out | std::ios::trunc);
    if (!file_.is_open())
        throw std::runtime_error("failed to create file: " + path.string());
    file_.exceptions(std::ios::badbit | std::ios::failbit);
    StartData(Sink::File, size);
}

void StreamBuf::StartData(Sink sink, std::int64_t size)
{
    sink_ = sink;
    entryRemaining_ = size;
    paddingRemaining_ = PaddingAfter(size);
    phase_ = Phase::Data;
    if (size == 0)
        EndData();
}

// A file is closed as soon as its last byte is in, so a failing close is
// reported with the entry that caused it.
void StreamBuf::EndData()
{
    switch (sink_) {
    case Sink::File:
        CloseFile();
        break;
    case Sink::Pax:
        extension_.ReadPax(extensionData_);
        break;
    case Sink::LongName:
        extension_.ReadLongName(extensionData_);
        break;
    case Sink::Discard:
        break;
    }
    extensionData_.clear();
    phase_ = paddingRemaining_ > 0 ? Phase::Padding : Phase::Header;
}

void StreamBuf::CloseFile()
{
    file_.close();
    file_.exceptions(std::ios::goodbit);
    file_.clear();
}

void StreamBuf::SyncFileSystem() const
{
    const int descriptor = ::open(root_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (descriptor < 0)
        throw std::system_error(errno, std::generic_category(), "failed to open " + root_.string());
    const int status = ::syncfs(descriptor);
    const int error = errno;
    ::close(descriptor);
    if (status != 0)
        throw std::system_error(error, std::generic_category(), "failed to sync " + root_.string());
}

} // namespace Tar
} // namespace Brel
