#include "callgrind_profile.h"

#include <cctype>
#include <map>
#include <sstream>
#include <tuple>

namespace bench {

namespace {

// Callgrind shortens repeated names to "(id)" after their first use as
// "(id) name"; each kind of name has its own ids.
class NameTable {
public:
    std::string resolve(const std::string &value) {
        if (value.empty() || value[0] != '(') {
            return value;
        }
        const std::size_t close = value.find(')');
        if (close == std::string::npos) {
            return value;
        }
        const std::string id = value.substr(1, close - 1);
        std::size_t start = close + 1;
        while (start < value.size() && value[start] == ' ') {
            ++start;
        }
        if (start < value.size()) {
            names_[id] = value.substr(start);
        }
        const auto known = names_.find(id);
        return known != names_.end() ? known->second : value;
    }

private:
    std::map<std::string, std::string> names_;
};

bool isCostLine(const std::string &line) {
    const char first = line[0];
    return std::isdigit(static_cast<unsigned char>(first)) != 0 || first == '+' || first == '-' ||
           first == '*';
}

std::string baseName(const std::string &path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool startsWith(const std::string &text, const std::string &prefix) {
    return text.compare(0, prefix.size(), prefix) == 0;
}

// Number of whitespace-separated words in a "positions:" header.
std::size_t countWords(const std::string &text) {
    std::istringstream words(text);
    std::size_t n = 0;
    std::string word;
    while (words >> word) {
        ++n;
    }
    return n;
}

}  // namespace

bool parseCallgrindProfile(std::istream &in, Profile &profile, std::string &error) {
    profile = Profile();
    NameTable objects, files, functions;
    std::map<std::tuple<std::string, std::string, std::string>, std::size_t> functionIndex;
    std::string object, file, calleeObject, calleeFunction;
    bool haveFunction = false, haveEvents = false, callCostNext = false, haveTotal = false;
    std::size_t current = 0, positions = 1;
    unsigned long long summed = 0;

    std::string line;
    int lineNumber = 0;
    while (std::getline(in, line)) {
        ++lineNumber;
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (line.empty() || line[0] == '#') {
            continue;
        }
        if (isCostLine(line)) {
            if (!haveEvents || !haveFunction) {
                error = "line " + std::to_string(lineNumber) + ": counts before any event or function";
                return false;
            }
            std::istringstream words(line);
            std::string word;
            for (std::size_t i = 0; i < positions && words >> word; ++i) {
            }
            unsigned long long count = 0;
            if (words >> word) {
                try {
                    count = std::stoull(word);
                } catch (const std::exception &) {
                    error = "line " + std::to_string(lineNumber) + ": not a count: " + word;
                    return false;
                }
            }
            if (callCostNext) {
                profile.calls.push_back(
                    {current, calleeObject.empty() ? object : calleeObject, calleeFunction, count});
                callCostNext = false;
                calleeObject.clear();
            } else {
                profile.functions[current].self += count;
                summed += count;
            }
            continue;
        }
        const std::size_t equals = line.find('=');
        const std::size_t colon = line.find(':');
        if (equals != std::string::npos && (colon == std::string::npos || equals < colon)) {
            const std::string key = line.substr(0, equals);
            const std::string value = line.substr(equals + 1);
            if (key == "ob") {
                object = objects.resolve(value);
            } else if (key == "fl") {
                file = files.resolve(value);
            } else if (key == "fi" || key == "fe" || key == "cfi" || key == "cfl") {
                files.resolve(value);  // only to learn the name behind the id
            } else if (key == "fn") {
                const std::string name = functions.resolve(value);
                const auto identity = std::make_tuple(object, file, name);
                const auto found = functionIndex.find(identity);
                if (found == functionIndex.end()) {
                    current = profile.functions.size();
                    functionIndex.emplace(identity, current);
                    FunctionCost cost;
                    cost.object = object;
                    cost.file = file;
                    cost.function = name;
                    profile.functions.push_back(cost);
                } else {
                    current = found->second;
                }
                haveFunction = true;
            } else if (key == "cob") {
                calleeObject = objects.resolve(value);
            } else if (key == "cfn") {
                calleeFunction = functions.resolve(value);
            } else if (key == "calls") {
                callCostNext = true;
            }
            continue;
        }
        if (colon != std::string::npos) {
            const std::string key = line.substr(0, colon);
            const std::string value = line.substr(colon + 1);
            if (key == "events") {
                haveEvents = countWords(value) > 0;
            } else if (key == "positions") {
                positions = countWords(value);
            } else if (key == "totals" || (key == "summary" && !haveTotal)) {
                std::istringstream words(value);
                unsigned long long total = 0;
                if (words >> total) {
                    profile.total = total;
                    haveTotal = true;
                }
            }
            continue;
        }
        error = "line " + std::to_string(lineNumber) + ": not callgrind output";
        return false;
    }
    if (!haveEvents) {
        error = "no events: not callgrind output";
        return false;
    }
    if (!haveTotal) {
        profile.total = summed;
    }
    return true;
}

CodeOwner ownerOf(const std::string &object, const std::string &file, const std::string &executable,
                  const std::string &programSources) {
    const std::string name = baseName(object);
    if (object == executable || (!name.empty() && name == baseName(executable))) {
        return !programSources.empty() && startsWith(file, programSources) ? CodeOwner::program
                                                                           : CodeOwner::harness;
    }
    if (startsWith(name, "libglut")) {
        return CodeOwner::glut;
    }
    if (startsWith(name, "libc.so") || startsWith(name, "libc-") || startsWith(name, "libm.so") ||
        startsWith(name, "ld-linux") || startsWith(name, "ld-")) {
        return CodeOwner::cLibrary;
    }
    return CodeOwner::openGl;
}

CostShares shareOut(const Profile &profile, const std::string &executable,
                    const std::string &programSources) {
    CostShares shares;
    shares.total = profile.total;
    for (const FunctionCost &f : profile.functions) {
        switch (ownerOf(f.object, f.file, executable, programSources)) {
            case CodeOwner::program:
                shares.program += f.self;
                break;
            case CodeOwner::harness:
                shares.harness += f.self;
                break;
            case CodeOwner::glut:
                shares.glut += f.self;
                break;
            case CodeOwner::cLibrary:
                shares.cLibrary += f.self;
                break;
            case CodeOwner::openGl:
                shares.openGl += f.self;
                break;
        }
    }
    for (const CallCost &call : profile.calls) {
        const FunctionCost &caller = profile.functions[call.caller];
        if (ownerOf(caller.object, caller.file, executable, programSources) == CodeOwner::program &&
            ownerOf(call.calleeObject, "", executable, programSources) == CodeOwner::cLibrary) {
            shares.cLibraryForProgram += call.inclusive;
        }
    }
    return shares;
}

}  // namespace bench
