// The INI service: reading, looking up, changing and writing back.
#include "files/ini_service_internal.h"

#include <cstdlib>
#include <cstring>

#include "files/atomic_write.h"
#include "files/memory_names.h"
#include "files/pack_resolver_internal.h"
#include "files/rt_file.h"
#include "files/text_lines.h"

namespace vtx {
namespace {

struct IniService {
    std::vector<IniSection> sections;
    RtString fileName;      // the selected file; empty when none
    std::string writePath;  // where it is written back: the name made absolute when selected
    bool changed = false;
};

IniService& Ini() {
    static IniService service;
    return service;
}

bool SameIgnoringCase(const RtString& a, const RtString& b) {
    if (a.length() != b.length()) return false;
    const char* p = a.c_str();
    const char* q = b.c_str();
    for (uint32_t i = 0; i < a.length(); ++i) {
        char x = p[i], y = q[i];
        if (x >= 'a' && x <= 'z') x = static_cast<char>(x - 'a' + 'A');
        if (y >= 'a' && y <= 'z') y = static_cast<char>(y - 'a' + 'A');
        if (x != y) return false;
    }
    return true;
}

IniSection* FindSection(const RtString& name) {
    for (IniSection& section : Ini().sections)
        if (SameIgnoringCase(section.name, name)) return &section;
    return nullptr;
}

IniEntry* FindEntry(IniSection& section, const RtString& key) {
    for (IniEntry& entry : section.entries)
        if (SameIgnoringCase(entry.key, key)) return &entry;
    return nullptr;
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

RtString Text(const char* from, const char* to) { return RtString(std::string(from, to).c_str()); }

// One line of a file: a comment, a section line or an entry.
void ParseLine(const char* p, const char* end, std::vector<IniSection>& sections) {
    while (p < end && IsBlank(*p)) ++p;
    if (p == end || *p == ';') return;
    if (*p == '[') {
        ++p;
        while (p < end && IsBlank(*p)) ++p;
        const char* name = p;
        while (p < end && !IsBlank(*p) && *p != '=') ++p;
        const char* nameEnd = p > name && p[-1] == ']' ? p - 1 : p;
        sections.push_back(IniSection{Text(name, nameEnd), {}});
        return;
    }
    const char* key = p;
    while (p < end && !IsBlank(*p) && *p != '=') ++p;
    const char* keyEnd = p;
    while (p < end && IsBlank(*p)) ++p;
    if (p == end || *p != '=') return;  // not an entry
    ++p;
    while (p < end && IsBlank(*p)) ++p;
    if (sections.empty()) sections.push_back(IniSection{});  // the unnamed section
    sections.back().entries.push_back(IniEntry{Text(key, keyEnd), Text(p, end)});
}

void AppendLine(std::string& out, const RtString& a, const char* between, const RtString& b, const char* after) {
    out.append(a.c_str(), a.length());
    out += between;
    out.append(b.c_str(), b.length());
    out += after;
}

// Loads a file through the loader resolver; no sections when it is missing.
std::vector<IniSection> LoadIni(const RtString& name) {
    RtString resolved;
    ResolveFile(LoaderResolver(), name, resolved, true);
    RtFile file;
    if (!file.openRead(resolved.c_str())) return {};
    std::string bytes(static_cast<size_t>(file.size()), '\0');
    if (!bytes.empty() && !file.read(bytes.data(), file.size())) return {};
    return ParseIni(bytes.data(), bytes.size());
}

void RegisterWriteBackAtExit() {
    static const bool registered = std::atexit([] { WriteBackIni(); }) == 0;
    (void)registered;
}

}  // namespace

std::vector<IniSection> ParseIni(const char* data, size_t size) {
    std::vector<IniSection> sections;
    const char* at = data;
    const char* end = data + size;
    const char* line;
    size_t length;
    while (NextTextLine(at, end, line, length)) ParseLine(line, line + length, sections);
    return sections;
}

std::string FormatIni(const std::vector<IniSection>& sections) {
    std::string out;
    // The unnamed section is the first one without a name (the one IniGet
    // finds). Its entries go first, without a header; when it has none, it
    // is written as "[]" in its place, so that it stays the first unnamed
    // one when the file is read again.
    const IniSection* unnamed = nullptr;
    for (const IniSection& section : sections)
        if (section.name.length() == 0) {
            if (!section.entries.empty()) unnamed = &section;
            break;
        }
    if (unnamed != nullptr)
        for (const IniEntry& entry : unnamed->entries) AppendLine(out, entry.key, "=", entry.value, "\r\n");
    for (const IniSection& section : sections) {
        if (&section == unnamed) continue;
        AppendLine(out, RtString("["), "", section.name, "]\r\n");
        for (const IniEntry& entry : section.entries) AppendLine(out, entry.key, "=", entry.value, "\r\n");
    }
    return out;
}

bool WriteBackIni() {
    IniService& ini = Ini();
    if (!ini.changed || ini.fileName.length() == 0 || IsMemoryName(ini.fileName.c_str())) return true;
    const std::string bytes = FormatIni(ini.sections);
    if (!WriteFileAtomically(ini.writePath.c_str(), bytes.data(), bytes.size())) return false;
    ini.changed = false;
    return true;
}

}  // namespace vtx

void IniOpen(const RtString& fileName) {
    vtx::IniService& ini = vtx::Ini();
    vtx::WriteBackIni();  // a failure is silent: the old file stays as it was
    ini.changed = false;
    if (fileName.length() == 0) {
        ini.fileName = "";
        ini.writePath.clear();
        ini.sections.clear();
        return;
    }
    vtx::RegisterWriteBackAtExit();
    ini.sections = vtx::LoadIni(fileName);
    ini.fileName = fileName;
    ini.writePath = vtx::IsMemoryName(fileName.c_str()) ? std::string() : vtx::platform::AbsolutePath(fileName.c_str());
}

RtString IniGet(const RtString& section, const RtString& key, const RtString& defaultValue) {
    vtx::IniSection* found = vtx::FindSection(section);
    if (found == nullptr) return defaultValue;
    const vtx::IniEntry* entry = vtx::FindEntry(*found, key);
    return entry != nullptr ? entry->value : defaultValue;
}

void IniPut(const RtString& section, const RtString& key, const RtString& value) {
    vtx::IniService& ini = vtx::Ini();
    vtx::RegisterWriteBackAtExit();
    if (key.length() == 0) {
        // Removal: the last section moves into the removed one's place.
        vtx::IniSection* found = vtx::FindSection(section);
        if (found == nullptr) return;
        if (found != &ini.sections.back()) *found = std::move(ini.sections.back());
        ini.sections.pop_back();
        ini.changed = true;
        return;
    }
    vtx::IniSection* found = vtx::FindSection(section);
    if (found == nullptr) {
        ini.sections.push_back(vtx::IniSection{section, {}});
        found = &ini.sections.back();
    }
    vtx::IniEntry* entry = vtx::FindEntry(*found, key);
    if (entry == nullptr) {
        found->entries.push_back(vtx::IniEntry{key, {}});
        entry = &found->entries.back();
    }
    entry->value = value;
    ini.changed = true;
}
