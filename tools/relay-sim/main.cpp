#include <cstdio>

int main()
{
    std::fputs("relay-sim: not built yet\n", stderr);
    return 1;
}
