// The manifest that make_archives.py writes beside the archives it makes:
// which extraction must give what.
#ifndef TEST_MANIFEST_H
#define TEST_MANIFEST_H

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

struct Extraction {
    std::string archive;
    std::string member;
    std::string code;     // empty for none
    int result = 0;       // the library's result as a message index
    std::string payload;  // the file the member must equal, when result is 0
};

inline std::vector<Extraction> ReadManifest(const std::string& path)
{
    std::vector<Extraction> list;
    std::ifstream manifest(path);
    std::string line;
    while (std::getline(manifest, line)) {
        std::istringstream fields(line);
        Extraction e;
        std::getline(fields, e.archive, '\t');
        std::getline(fields, e.member, '\t');
        std::getline(fields, e.code, '\t');
        fields >> e.result;
        fields.ignore();
        std::getline(fields, e.payload);
        if (e.code == "-")
            e.code.clear();
        list.push_back(e);
    }
    return list;
}

#endif
