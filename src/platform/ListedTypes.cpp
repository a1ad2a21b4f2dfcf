#include "ListedTypes.h"

#include <dirent.h>

#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>

namespace ListedTypes {

namespace {

// The names sought in one folder: each entry name's last position among all
// the names given (the caller's `earlier` chains a name given more than once
// back to its previous positions), and how many positions there are.
struct Sought {
    std::unordered_map<std::string_view, qsizetype> last;
    qsizetype count = 0;
};

void ReadListing(const std::string& folder, const Sought& sought,
                 const std::vector<qsizetype>& earlier, std::vector<unsigned char>& types) {
    const std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(folder.c_str()), ::closedir);
    if (!dir) return;
    size_t left = sought.last.size();
    for (qsizetype budget = sought.count * EntriesPerName; left > 0 && budget > 0; --budget) {
        const dirent* e = ::readdir(dir.get());
        if (!e) break;
        const auto it = sought.last.find(std::string_view(e->d_name));
        if (it == sought.last.end()) continue;
        for (qsizetype i = it->second; i >= 0; i = earlier[size_t(i)]) types[size_t(i)] = e->d_type;
        --left;
    }
}

}  // namespace

std::vector<unsigned char> Of(const QList<QByteArray>& names) {
    std::vector<unsigned char> types(size_t(names.size()), DT_UNKNOWN);
    std::vector<qsizetype> earlier(size_t(names.size()), -1);
    std::unordered_map<std::string_view, Sought> byFolder;
    for (qsizetype i = 0; i < names.size(); ++i) {
        const std::string_view name(names[i].constData(), size_t(names[i].size()));
        const size_t slash = name.rfind('/');
        const std::string_view entry = name.substr(slash + 1);  // npos + 1 == 0
        if (entry.empty() || entry == "." || entry == "..") continue;
        const std::string_view folder = slash == std::string_view::npos ? "."
                                        : slash == 0                    ? "/"
                                                                        : name.substr(0, slash);
        Sought& sought = byFolder[folder];
        const auto [it, first] = sought.last.try_emplace(entry, i);
        if (!first) earlier[size_t(i)] = std::exchange(it->second, i);
        ++sought.count;
    }
    for (const auto& [folder, sought] : byFolder)
        if (sought.count >= MinNamesInFolder)
            ReadListing(std::string(folder), sought, earlier, types);
    return types;
}

}  // namespace ListedTypes
