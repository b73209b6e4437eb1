#pragma once

#include <exception>

// Runs one statement of a routine that ignores errors statement by statement: a statement that fails is abandoned
// silently and the routine goes on with the next one. Only load routines and the category listing work this way;
// every other handler reports its failures. Says whether the statement ran through.
template <typename Statement> bool resumeNext(Statement&& statement) {
    try {
        statement();
        return true;
    } catch (const std::exception&) {
        return false;
    }
}
