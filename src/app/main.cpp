#include "app/NookaryApp.h"

int main(int argc, char **argv)
{
    return nookary::NookaryApp::run(argc, argv);
}
