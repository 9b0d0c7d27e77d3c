#pragma once
// An in-memory stand-in for the profile files, recording every access so tests
// can check what was read and written and in which order.
#include <map>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "OptionsStore.h"

class MemoryProfile : public IProfile {
public:
    using Key = std::tuple<std::string, std::string, std::string>;  // file, section, key
    std::map<Key, std::string> values;
    std::set<std::string> existingFiles;
    std::vector<std::string> reads;        // "Section/Key", in order
    std::vector<std::string> writes;       // "Section/Key=value", in order
    std::vector<std::string> existsCalls;  // paths asked about, in order
    int failWriteAt = -1;                  // index of the write attempt that fails

    void Set(const std::string& file, const std::string& section, const std::string& key,
             const std::string& value) {
        values[{file, section, key}] = value;
    }
    const std::string* Find(const std::string& file, const std::string& section,
                            const std::string& key) const {
        auto it = values.find({file, section, key});
        return it == values.end() ? nullptr : &it->second;
    }

    std::string ReadString(const std::string& file, const std::string& section,
                           const std::string& key, const std::string& def) override {
        reads.push_back(section + "/" + key);
        const std::string* v = Find(file, section, key);
        return v ? *v : def;
    }
    bool WriteString(const std::string& file, const std::string& section,
                     const std::string& key, const std::string& value) override {
        if (static_cast<int>(attempts_++) == failWriteAt) return false;
        writes.push_back(section + "/" + key + "=" + value);
        Set(file, section, key, value);
        return true;
    }
    bool FileExists(const std::string& path) override {
        existsCalls.push_back(path);
        return existingFiles.count(path) != 0;
    }

private:
    unsigned attempts_ = 0;
};
