#include "platform/linux/settings/registry_file.h"

#include "platform/linux/settings/locked_file.h"
#include "platform/linux/settings/reg_document.h"
#include "platform/linux/settings/reg_key_lookup.h"
#include "platform/linux/settings/reg_text_format.h"
#include "platform/linux/settings/settings_file_watch.h"
#include "platform/linux/settings/text_encoding.h"

#include <pwd.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <ctime>

namespace vantrel::platform::linux_backend {

namespace {

std::string defaultRegistryPath()
{
    // Only an absolute XDG_CONFIG_HOME counts; a relative one is to be ignored.
    if (const char *config = std::getenv("XDG_CONFIG_HOME"); config && config[0] == '/')
        return std::string(config) + "/vantrel/registry.reg";
    std::string home;
    if (const char *variable = std::getenv("HOME"); variable && *variable)
        home = variable;
    else if (const passwd *user = ::getpwuid(::getuid()); user && user->pw_dir)
        home = user->pw_dir;
    return home + "/.config/vantrel/registry.reg";
}

RegStatus statusForRead(const FileFault &fault)
{
    switch (fault.error) {
    case EACCES:
    case EPERM:
        return ERROR_ACCESS_DENIED;
    case EFBIG:
    case EISDIR:
    case EINVAL:
        return ERROR_BADDB;
    default:
        return ERROR_REGISTRY_IO_FAILED;
    }
}

// A value name for a message: quoted, and short.
std::string printableValueName(const std::u16string &name)
{
    if (name.empty())
        return "@ (the default value)";
    constexpr std::size_t kShown = 40;
    std::string shown = "\"";
    appendUtf8(shown, std::u16string_view(name).substr(0, kShown));
    return shown + (name.size() > kShown ? "...\"" : "\"");
}

RegStatus statusForWrite(const FileFault &fault)
{
    switch (fault.error) {
    case EACCES:
    case EPERM:
    case EROFS:
        return ERROR_ACCESS_DENIED;
    case EFBIG:
    case EISDIR:
    case EINVAL:
        return ERROR_BADDB;
    default:
        return ERROR_WRITE_FAULT;
    }
}

// How long until a file last changed at that identity's times has been left
// alone for the settling time; none when it has been already, or when its
// times lie ahead (the clock was set back).
std::chrono::milliseconds untilSettled(const FileIdentity &identity)
{
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    const auto at = [](const timespec &time) {
        return std::chrono::seconds(time.tv_sec) + std::chrono::nanoseconds(time.tv_nsec);
    };
    const auto since = at(now) - std::max(at(identity.modified), at(identity.changed));
    if (since < std::chrono::nanoseconds(0) || since >= SettingsFileWatch::kSettleTime)
        return std::chrono::milliseconds(0);
    return std::chrono::ceil<std::chrono::milliseconds>(SettingsFileWatch::kSettleTime - since);
}

} // namespace

RegistryFile::RegistryFile() : RegistryFile(defaultRegistryPath()) {}

RegistryFile::RegistryFile(std::string path, std::chrono::milliseconds lockWait)
    : path_(std::move(path)), lockWait_(lockWait)
{
}

RegistryFile::~RegistryFile() = default;

RegStatus RegistryFile::openKey(RegHandle root, const std::u16string &path, RegHandle *key)
{
    KeyPath place;
    if (const RegStatus status = resolveSubkey(root, path, place); status != ERROR_SUCCESS)
        return status;
    if (!key)
        return fail(ERROR_INVALID_PARAMETER, "No place was given for the opened key's handle");
    if (!place.names.empty()) {
        RegKeyLookup lookup(place.root, place.names);
        if (const RegStatus status = lookUp(lookup); status != ERROR_SUCCESS)
            return status;
        if (!lookup.keyFound())
            return fail(ERROR_FILE_NOT_FOUND, "The key is not in " + path_);
    }
    *key = addHandle(std::move(place));
    return ERROR_SUCCESS;
}

RegStatus RegistryFile::createKey(RegHandle root, const std::u16string &path, RegHandle *key)
{
    KeyPath place;
    if (const RegStatus status = resolveSubkey(root, path, place); status != ERROR_SUCCESS)
        return status;
    if (!key)
        return fail(ERROR_INVALID_PARAMETER, "No place was given for the created key's handle");

    // An existing key is only opened: nothing to lock, and nothing to refuse
    // when the file is read-only.
    RegKeyLookup lookup(place.root, place.names);
    const bool exists = place.names.empty() || (lookUp(lookup) == ERROR_SUCCESS && lookup.keyFound());
    if (!exists) {
        const RegStatus status = modify([&](RegDocument &document, bool &changed) {
            RegKey *level = &document.top.subkey(place.root);
            for (const auto &name : place.names) {
                if (RegKey *existing = level->findSubkey(name)) {
                    level = existing;
                    continue;
                }
                level = &level->subkey(name);
                level->hasSection = true;
                changed = true;
            }
            return ERROR_SUCCESS;
        });
        if (status != ERROR_SUCCESS)
            return status;
    }
    *key = addHandle(std::move(place));
    return ERROR_SUCCESS;
}

RegStatus RegistryFile::queryValue(RegHandle key, const std::u16string &name, std::uint32_t *type, std::uint8_t *data,
                                   std::uint32_t *size)
{
    KeyPath place;
    if (const RegStatus status = resolve(key, place); status != ERROR_SUCCESS)
        return status;
    if (data && !size)
        return fail(ERROR_INVALID_PARAMETER, "A buffer was given without its size");

    RegKeyLookup lookup(place.root, place.names, name);
    if (const RegStatus status = lookUp(lookup); status != ERROR_SUCCESS)
        return status;
    const std::optional<RegValue> &value = lookup.value();
    if (!value)
        return fail(ERROR_FILE_NOT_FOUND, "The value is not in " + path_);
    // The file's other values still count; this one is the user's to mend.
    if (lookup.unreadableLine() != 0)
        return fail(ERROR_BADDB, "read",
                    "line " + std::to_string(lookup.unreadableLine()) + ": the value " + printableValueName(name) +
                        " holds bytes that are not UTF-8");

    if (type)
        *type = value->type;
    const auto needed = static_cast<std::uint32_t>(value->data.size());
    if (data) {
        if (*size < needed) {
            *size = needed;
            return fail(ERROR_MORE_DATA, "The value is larger than the buffer given for it");
        }
        std::copy(value->data.begin(), value->data.end(), data);
    }
    if (size)
        *size = needed;
    return ERROR_SUCCESS;
}

RegStatus RegistryFile::setValue(RegHandle key, const std::u16string &name, std::uint32_t type,
                                 const std::uint8_t *data, std::uint32_t size)
{
    KeyPath place;
    if (const RegStatus status = resolve(key, place); status != ERROR_SUCCESS)
        return status;
    if (!isStorableValueName(name))
        return fail(ERROR_INVALID_PARAMETER, "Could not write " + path_ +
                                                 ": the value name is too long or holds a NUL, a line break "
                                                 "or half of a surrogate pair");
    if (!data && size != 0)
        return fail(ERROR_INVALID_PARAMETER, "Could not write " + path_ + ": the value's data are missing");
    if (size > kMaxRegTextBytes)
        return fail(ERROR_INVALID_PARAMETER, "Could not write " + path_ + ": the value is too large");

    std::vector<std::uint8_t> bytes(data, data + size);
    return modify([&](RegDocument &document, bool &changed) {
        RegKey *level = &document.top.subkey(place.root);
        for (const auto &levelName : place.names) {
            level = level->findSubkey(levelName);
            if (!level)
                return fail(ERROR_FILE_NOT_FOUND,
                            "Could not write " + path_ + ": the key was removed from it after it was opened");
        }
        const RegValue *old = level->findValue(name);
        if (old && old->unreadableLines.empty() && old->type == type && old->data == bytes)
            return ERROR_SUCCESS;
        level->setValue(name, type, bytes);
        changed = true;
        return ERROR_SUCCESS;
    });
}

RegStatus RegistryFile::closeKey(RegHandle key)
{
    if ((key & 0xFFFFFF00u) == 0x80000000u)
        return ERROR_SUCCESS; // the predefined roots are never really open
    if (handles_.erase(key) == 0)
        return fail(ERROR_INVALID_HANDLE, "The key handle is not open");
    return ERROR_SUCCESS;
}

std::string RegistryFile::describeFailure(RegStatus status) const
{
    if (status == lastStatus_ && !lastFailure_.empty())
        return lastFailure_;
    switch (status) {
    case ERROR_SUCCESS:
        return "No error";
    case ERROR_FILE_NOT_FOUND:
        return "The key or value is not in " + path_;
    case ERROR_INVALID_HANDLE:
        return "The key handle is not open";
    case ERROR_INVALID_PARAMETER:
        return "Could not write " + path_ + ": the name or the data cannot be stored";
    default:
        return "Could not use " + path_ + " (error " + std::to_string(status) + ")";
    }
}

RegStatus RegistryFile::resolve(RegHandle handle, KeyPath &place)
{
    if (const PredefinedRoot *root = findPredefinedRoot(handle)) {
        place = {std::u16string(root->name), {}};
        return ERROR_SUCCESS;
    }
    const auto open = handles_.find(handle);
    if (open == handles_.end())
        return fail(ERROR_INVALID_HANDLE, "The key handle is not open");
    place = open->second;
    return ERROR_SUCCESS;
}

RegStatus RegistryFile::resolveSubkey(RegHandle root, const std::u16string &subkey, KeyPath &place)
{
    if (const RegStatus status = resolve(root, place); status != ERROR_SUCCESS)
        return status;
    for (std::size_t start = 0; !subkey.empty() && start <= subkey.size();) {
        const auto end = std::min(subkey.find(u'\\', start), subkey.size());
        const auto name = std::u16string_view(subkey).substr(start, end - start);
        if (!isStorableKeyName(name) || place.names.size() == kMaxKeyDepth)
            return fail(ERROR_INVALID_PARAMETER,
                        "The key path cannot be kept in " + path_ +
                            ": it has an empty or too long level, a NUL, a line break, half of a "
                            "surrogate pair, or too many levels");
        place.names.emplace_back(name);
        start = end + 1;
    }
    return ERROR_SUCCESS;
}

RegHandle RegistryFile::addHandle(KeyPath place)
{
    while (nextHandle_ == 0 || (nextHandle_ & 0xFFFFFF00u) == 0x80000000u || handles_.contains(nextHandle_))
        ++nextHandle_;
    handles_.emplace(nextHandle_, std::move(place));
    return nextHandle_++;
}

RegStatus RegistryFile::lookUp(RegKeyLookup &lookup)
{
    // No lock: our writers replace the file in one rename, so it is always
    // whole; others that write it in place are followed.
    FileContents contents;
    if (const RegStatus status = readCurrent(false, contents); status != ERROR_SUCCESS)
        return status;
    if (auto error = parseRegText(contents.bytes, lookup))
        return fail(ERROR_BADDB, "read", error->describe());
    return ERROR_SUCCESS;
}

RegStatus RegistryFile::readCurrent(bool forWrite, FileContents &contents)
{
    const char *verb = forWrite ? "write" : "read";
    SettingsFileWatch *writes = writeWatch();
    // A read without a whole file to fall back on waits a moment for the
    // writer; a write as long as it waits for a lock.
    const auto deadline = std::chrono::steady_clock::now() + (forWrite ? lockWait_ : kInPlaceWriteWait);
    for (;;) {
        auto pause = SettingsFileWatch::kSettleTime;
        bool halfWritten = true;
        if (writes)
            writes->takeIn();
        if (!writes || !writes->writeUnderWay()) {
            const std::uint64_t before = writes ? writes->inPlaceWrites() : 0;
            if (auto fault = readWholeFile(path_, kMaxRegTextBytes, contents))
                return fail(statusForRead(*fault), verb, fault->reason);
            if (!writes)
                return ERROR_SUCCESS;
            writes->takeIn();
            // A file whose size moved while it was read was being written.
            const bool moved =
                writes->writeUnderWay() || writes->inPlaceWrites() != before ||
                (contents.exists && static_cast<std::uintmax_t>(contents.identity.size) != contents.bytes.size());
            if (!moved) {
                // The system may not have told yet of a write the read
                // caught: a file changed in place since the last whole read
                // counts once it has been left alone for the settling time.
                // One renamed into place was whole before it got there.
                // File times are coarse: a change within one tick keeps them.
                const bool changed =
                    !lastWhole_ || !(lastWhole_->identity == contents.identity) || lastWhole_->bytes != contents.bytes;
                const bool renamedIn = writes->renamesIn() != renamesAtLastWhole_ &&
                                       (!lastWhole_ || lastWhole_->identity.inode != contents.identity.inode);
                pause = changed && !renamedIn ? untilSettled(contents.identity) : std::chrono::milliseconds(0);
                if (pause.count() == 0) {
                    lastWhole_ = contents;
                    renamesAtLastWhole_ = writes->renamesIn();
                    return ERROR_SUCCESS;
                }
                halfWritten = false;
            }
        }
        // While it is written, a read takes the file as the last whole read
        // found it (the watch tells when the write has settled); one that is
        // only settling is waited for.
        const auto now = std::chrono::steady_clock::now();
        if ((halfWritten || now >= deadline) && !forWrite && lastWhole_) {
            contents = *lastWhole_;
            return ERROR_SUCCESS;
        }
        if (now >= deadline)
            return fail(ERROR_SHARING_VIOLATION, verb, "the file is busy: another program is writing it");
        writes->waitForNews(std::min(pause, std::chrono::ceil<std::chrono::milliseconds>(deadline - now)));
    }
}

SettingsFileWatch *RegistryFile::writeWatch()
{
    if (!writeWatchTried_) {
        writeWatchTried_ = true;
        // Without it reads are as they were before writes in place were
        // followed: taken as they come.
        writeWatch_ = SettingsFileWatch::create(path_, nullptr);
    }
    return writeWatch_.get();
}

RegStatus RegistryFile::modify(const std::function<RegStatus(RegDocument &, bool &changed)> &change)
{
    if (auto fault = makeFoldersFor(path_))
        return fail(statusForWrite(*fault), "write", fault->reason);
    // Locked where the file lives, so that two paths that lead to one file
    // take one lock.
    const std::string target = writeTargetOf(path_);
    FileLock lock;
    if (auto fault = FileLock::acquire(target + ".lock", lockWait_, lock))
        return fail(fault->error == EWOULDBLOCK ? ERROR_SHARING_VIOLATION : statusForWrite(*fault), "write",
                    fault->reason);

    // An editor that saves meanwhile takes no lock; its file is then read
    // again and the change made anew on it, a few times at most.
    constexpr int kAttempts = 5;
    for (int attempt = 1;; ++attempt) {
        FileContents current;
        if (const RegStatus status = readCurrent(true, current); status != ERROR_SUCCESS)
            return status;
        auto parsed = parseRegText(current.bytes);
        if (!parsed.document)
            return fail(ERROR_BADDB, "write", parsed.error.describe());
        RegDocument &document = *parsed.document;
        bool changed = false;
        if (const RegStatus status = change(document, changed); status != ERROR_SUCCESS || !changed)
            return status;

        if (auto fault = checkReplaceable(target))
            return fail(statusForWrite(*fault), "write", fault->reason);
        const std::string bytes = serializeRegText(document);
        if (bytes.size() > kMaxRegTextBytes)
            return fail(ERROR_INVALID_PARAMETER, "write",
                        "it would grow larger than " + std::to_string(kMaxRegTextBytes >> 20) + " MiB");
        auto fault = replaceFileAtomically(target, bytes, current.identity);
        if (!fault)
            return ERROR_SUCCESS;
        if (fault->error != ESTALE || attempt == kAttempts)
            return fail(statusForWrite(*fault), "write", fault->reason);
    }
}

std::unique_ptr<RegistryWatch> RegistryFile::watchKey(RegHandle, const std::u16string &, std::string *error)
{
    // The file is watched whole: any change of it may be one of the key's.
    return SettingsFileWatch::create(path_, error);
}

RegStatus RegistryFile::fail(RegStatus status, std::string sentence)
{
    lastStatus_ = status;
    lastFailure_ = std::move(sentence);
    return status;
}

RegStatus RegistryFile::fail(RegStatus status, const char *verb, const std::string &reason)
{
    return fail(status, std::string("Could not ") + verb + " " + path_ + ": " + reason);
}

} // namespace vantrel::platform::linux_backend
