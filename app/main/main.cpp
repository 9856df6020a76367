#include <cstdio>

int main()
{
    std::puts("Dorvaquent Control System: the application is not built yet; "
              "only the libraries and their tests exist so far.");
    return 0;
}
