#include "mapplication.h"

int main(int argc, char *argv[])
{
    return MApplication::runMain(argc, argv);
}
