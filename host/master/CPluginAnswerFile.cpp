#include "host/master/CPluginAnswerFile.h"

#include "host/common/isUsablePluginName.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>
#include <random>
#include <system_error>

namespace nebo::common {

namespace {

using json = nlohmann::json;

// Changes whenever the layout below does: a file of another version is
// someone else's, and is replaced.
constexpr const char* fileFormat = "nebo plugin answers 1";

// The file holds objects in arrays in objects, never deeper.
constexpr int maxDepth = 6;

bool isPrintableText(const std::string& text, size_t maxBytes)
{
    return !text.empty() && text.size() <= maxBytes &&
           std::none_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < ' '; });
}

// The file's bytes, or nothing when it is missing or longer than a file
// of answers can be.
std::optional<std::string> readBounded(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    std::string bytes(CPluginAnswerFile::maxFileBytes + 1, '\0');
    in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    const size_t count = static_cast<size_t>(in.gcount());
    if (count > CPluginAnswerFile::maxFileBytes)
        return std::nullopt;
    bytes.resize(count);
    return bytes;
}

template <typename T> std::optional<T> integerAt(const json& object, const char* key)
{
    const auto found = object.find(key);
    if (found == object.end() || !found->is_number_integer())
        return std::nullopt;
    if (found->is_number_unsigned()) {
        const auto value = found->get<uint64_t>();
        if (value > static_cast<uint64_t>(std::numeric_limits<T>::max()))
            return std::nullopt;
        return static_cast<T>(value);
    }
    const auto value = found->get<int64_t>();
    if (value < static_cast<int64_t>(std::numeric_limits<T>::min()) ||
        (value > 0 && static_cast<uint64_t>(value) > static_cast<uint64_t>(std::numeric_limits<T>::max())))
        return std::nullopt;
    return static_cast<T>(value);
}

std::optional<std::string> textAt(const json& object, const char* key, size_t maxBytes)
{
    const auto found = object.find(key);
    if (found == object.end() || !found->is_string() || found->get_ref<const std::string&>().size() > maxBytes)
        return std::nullopt;
    return found->get<std::string>();
}

// The media types of an extension list, as the file writes them: the
// decimal number and nothing else.
std::optional<int32_t> typesOf(const std::string& key)
{
    if (key.empty() || key.size() > 11)
        return std::nullopt;
    size_t used = 0;
    try {
        const long value = std::stol(key, &used);
        if (used != key.size() || std::to_string(value) != key || value < std::numeric_limits<int32_t>::min() ||
            value > std::numeric_limits<int32_t>::max())
            return std::nullopt;
        return static_cast<int32_t>(value);
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

std::optional<std::map<int32_t, std::vector<std::string>>> extensionsOf(const json& lists)
{
    if (!lists.is_object())
        return std::nullopt;
    std::map<int32_t, std::vector<std::string>> extensions;
    for (const auto& [key, list] : lists.items()) {
        const std::optional<int32_t> types = typesOf(key);
        if (!types || !list.is_array() || list.size() > CPluginAnswerFile::maxExtensions)
            return std::nullopt;
        std::vector<std::string>& texts = extensions[*types];
        for (const json& extension : list) {
            if (!extension.is_string())
                return std::nullopt;
            texts.push_back(extension.get<std::string>());
        }
    }
    return extensions;
}

std::optional<std::pair<SLibraryFile, CPluginAnswerFile::SRecord>> recordOf(const json& entry)
{
    if (!entry.is_object())
        return std::nullopt;
    const auto path = textAt(entry, "library", CPluginAnswerFile::maxPathBytes);
    const auto size = integerAt<uintmax_t>(entry, "size");
    const auto modified = integerAt<int64_t>(entry, "modified");
    const auto slave = textAt(entry, "slave", CPluginAnswerFile::maxPathBytes + 64);
    const auto name = textAt(entry, "name", maxPluginNameBytes);
    const auto extensions = extensionsOf(entry.value("extensions", json::object()));
    if (!path || !size || !modified || !slave || !name || !extensions)
        return std::nullopt;
    CPluginAnswerFile::SRecord record{*name, std::nullopt, *extensions};
    if (entry.contains("types")) {
        record.types = integerAt<int32_t>(entry, "types");
        if (!record.types)
            return std::nullopt;
    }
    std::pair<SLibraryFile, CPluginAnswerFile::SRecord> result{{*path, *size, *modified, *slave}, record};
    if (!CPluginAnswerFile::isKeepable(result.first, result.second))
        return std::nullopt;
    return result;
}

// The records of a whole file, none unless every part of it is in bounds.
CPluginAnswerFile::Records parse(const std::string& bytes)
{
    // Deeper values are dropped as they are read, so that nesting costs
    // neither stack nor memory; the layout checks below then fail.
    const json::parser_callback_t shallow = [](int depth, json::parse_event_t, json&) { return depth <= maxDepth; };
    const json document = json::parse(bytes, shallow, false);
    if (!document.is_object() || document.value("format", json()) != fileFormat)
        return {};
    const json entries = document.value("records", json());
    if (!entries.is_array() || entries.size() > CPluginAnswerFile::maxRecords)
        return {};
    CPluginAnswerFile::Records records;
    for (const json& entry : entries) {
        auto record = recordOf(entry);
        if (!record)
            return {};
        records.insert(std::move(*record));
    }
    return records;
}

json toJson(const CPluginAnswerFile::Records& records)
{
    json entries = json::array();
    for (const auto& [library, record] : records) {
        json entry = {{"library", library.path},
                      {"size", library.size},
                      {"modified", library.modified},
                      {"slave", library.slaveProgram},
                      {"name", record.name}};
        if (record.types)
            entry["types"] = *record.types;
        json lists = json::object();
        for (const auto& [types, extensions] : record.extensions)
            lists[std::to_string(types)] = extensions;
        entry["extensions"] = std::move(lists);
        entries.push_back(std::move(entry));
    }
    return {{"format", fileFormat}, {"records", std::move(entries)}};
}

// Writes `text` to a file of its own beside `path` and renames it to
// `path`, so that no reader ever sees half of it. When a step fails, the
// file at `path` stays as it was.
void replaceFile(const std::string& path, const std::string& text)
{
    std::error_code error;
    const std::filesystem::path target(path);
    std::filesystem::create_directories(target.parent_path(), error);
    std::random_device chance;
    const std::string temporary = path + "." + std::to_string(chance()) + ".new";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out << text;
        out.close();
        if (out) {
            std::filesystem::rename(temporary, target, error);
            if (!error)
                return;
        }
    }
    std::filesystem::remove(temporary, error);
}

} // namespace

bool CPluginAnswerFile::SRecord::operator==(const SRecord& other) const
{
    return name == other.name && types == other.types && extensions == other.extensions;
}

CPluginAnswerFile::CPluginAnswerFile(std::string path) : m_path(std::move(path)) {}

std::string CPluginAnswerFile::userFilePath()
{
    const auto variable = [](const char* name) {
        const char* value = std::getenv(name);
        return std::string(value ? value : "");
    };
    if (variable("NEBO_CACHE") == "off")
        return std::string();
    std::filesystem::path folder;
    if (!variable("XDG_CACHE_HOME").empty())
        folder = variable("XDG_CACHE_HOME");
    else if (!variable("HOME").empty())
        folder = std::filesystem::path(variable("HOME")) / ".cache";
    else if (!variable("LOCALAPPDATA").empty())
        folder = variable("LOCALAPPDATA");
    else
        return std::string();
    return (folder / "nebo" / "plugin-answers.json").string();
}

bool CPluginAnswerFile::isKeepable(const SLibraryFile& library, const SRecord& record)
{
    if (library.path.size() > maxPathBytes || library.slaveProgram.size() > maxPathBytes + 64)
        return false;
    if (!record.name.empty() && !isUsablePluginName(record.name))
        return false;
    for (const auto& [types, extensions] : record.extensions)
        if (extensions.size() > maxExtensions ||
            !std::all_of(extensions.begin(), extensions.end(),
                         [](const std::string& extension) { return isPrintableText(extension, maxExtensionBytes); }))
            return false;
    return true;
}

CPluginAnswerFile::Records CPluginAnswerFile::read() const
{
    if (m_path.empty())
        return {};
    try {
        const std::optional<std::string> bytes = readBounded(m_path);
        return bytes ? parse(*bytes) : Records();
    } catch (const std::exception&) {
        // Out of memory: as if there were no file.
        return {};
    }
}

void CPluginAnswerFile::store(const SLibraryFile& library, const SRecord& record) const
{
    if (m_path.empty() || !isKeepable(library, record))
        return;
    Records records = read();
    if (records.size() >= maxRecords && records.count(library) == 0)
        records.clear();
    records[library] = record;
    try {
        // Texts that are not UTF-8 are written with replacement characters,
        // which the next read takes as they are.
        replaceFile(m_path, toJson(records).dump(-1, ' ', false, json::error_handler_t::replace));
    } catch (const std::exception&) {
        // Out of memory while writing: the answers stay in this process only.
    }
}

} // namespace nebo::common
