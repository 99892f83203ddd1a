// Reads the counts of one callgrind profile and sorts the instructions of a
// frame into the program's own code and the libraries it draws through.
#ifndef OSTRIVANE_BENCH_CALLGRIND_PROFILE_H
#define OSTRIVANE_BENCH_CALLGRIND_PROFILE_H

#include <istream>
#include <string>
#include <vector>

namespace bench {

struct FunctionCost {
    std::string object;           // the executable or shared library holding it
    std::string file;             // its source file, when known
    std::string function;         // its name
    unsigned long long self = 0;  // instructions executed in it, callees excluded
};

struct CallCost {
    std::size_t caller = 0;    // index into Profile::functions
    std::string calleeObject;  // where the called function lives
    std::string calleeFunction;
    unsigned long long inclusive = 0;  // instructions of the call, callees included
};

struct Profile {
    unsigned long long total = 0;  // every instruction collected
    std::vector<FunctionCost> functions;
    std::vector<CallCost> calls;
};

// Parses the text of a callgrind output file (its first event is taken as the
// count). Returns false, with a reason in `error`, when the text is not one.
bool parseCallgrindProfile(std::istream &in, Profile &profile, std::string &error);

enum class CodeOwner {
    program,   // the program's own code (its sources under src/)
    harness,   // the rest of the executable: the benchmark itself
    glut,      // freeglut
    cLibrary,  // the C library and the dynamic linker
    openGl,    // everything else: libGL, Mesa and its renderer, X11
};

// Who owns a function, from the object it lives in and its source file.
// `executable` is the benchmark program's path; `programSources` the
// directory of the program's own sources.
CodeOwner ownerOf(const std::string &object, const std::string &file, const std::string &executable,
                  const std::string &programSources);

struct CostShares {
    unsigned long long total = 0;
    unsigned long long program = 0, harness = 0, glut = 0, cLibrary = 0, openGl = 0;
    // Instructions spent in the C library on calls made by the program's own
    // code (snprintf and the like), callees included.
    unsigned long long cLibraryForProgram = 0;
};

CostShares shareOut(const Profile &profile, const std::string &executable, const std::string &programSources);

}  // namespace bench

#endif
