#include "shell/folder_scan.h"

#include "shell/folder_listing.h"

namespace fotello {

SubfolderScan ScanSubfolders(const std::string& folder, std::uint64_t generation) {
    SubfolderScan scan;
    scan.generation = generation;
    FolderListing listing = ListSubfolders(folder);
    scan.ok = listing.ok;
    scan.error = listing.error;
    if (!listing.ok)
        return scan;
    scan.entries.reserve(listing.names.size());
    for (std::string& name : listing.names) {
        const bool deeper = HasSubfolder(folder + name + "/");
        scan.entries.push_back({std::move(name), deeper});
    }
    return scan;
}

} // namespace fotello
