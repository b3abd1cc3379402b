// What a folder tree holds, seen through the wide API with "\\?\" paths, so
// that entries past the 260-byte limit are seen too. Links are never entered.
// Paths come and go in UTF-8, as the program under test keeps them.
#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

// One line per entry, keyed by its path below the listed folder (in UTF-8,
// for readable failures): "folder", "link", or the file's size and a hash of
// its content.
using TreeListing = std::map<std::string, std::string>;

// Entries below an excluded folder are left out; the folder itself stays in.
TreeListing ListTree(const std::string& folder, const std::vector<std::string>& excluded = {});

// What differs between two listings, one entry a line; empty when nothing.
std::string ListingChanges(const TreeListing& before, const TreeListing& after);

// The bytes a user sees in the folder: every file at any depth by its length
// (a sparse file too), nothing behind a link to a folder, and nothing for the
// links to files given, whose length Wine reports as their target's.
uint64_t BytesUnder(const std::string& folder, const std::set<std::string>& fileLinks = {});

// The folders of the path and a sparse file of that length at its end, at
// any length of the path.
bool MakeFileAnyLength(const std::string& path, uint64_t size);
bool ExistsAnyLength(const std::string& path);
