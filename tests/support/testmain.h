// What the test main offers to tests: by default a failed framework assertion fails
// the current test with its file and line, and so does a CException* that reaches
// AfxReportUncaughtException.
#pragma once

// Counts framework assertions instead of failing the test while it lives: for tests
// of paths that assert on purpose.
class CountFrameworkAssertions
{
public:
    CountFrameworkAssertions();
    ~CountFrameworkAssertions();
    CountFrameworkAssertions(const CountFrameworkAssertions&) = delete;
    void operator=(const CountFrameworkAssertions&) = delete;

    int Count() const;
};
