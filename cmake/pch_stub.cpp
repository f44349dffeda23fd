// The translation unit that precompiles the shared headers (cmake/precompiled.cmake).
int main()
{
    return 0;
}
