#pragma once

#include <QByteArray>
#include <QList>
#include <vector>

// The types of many names (file name bytes), read from the listings of the
// folders that hold them: one read of a folder costs less than a look at each
// of thousands of names, as `zsnd info *.snd` gives them.
namespace ListedTypes {

// Folders holding fewer of the names are not read: a look at each costs less.
constexpr qsizetype MinNamesInFolder = 32;
// A listing is read no further than this many entries for each name sought in
// it, so a few names in a vast folder cost little more than a look each.
constexpr qsizetype EntriesPerName = 8;

// The listing's d_type of each name, in order; DT_UNKNOWN where no listing
// settles it: the caller looks at those itself. A link is DT_LNK, as listed.
std::vector<unsigned char> Of(const QList<QByteArray>& names);

}  // namespace ListedTypes
