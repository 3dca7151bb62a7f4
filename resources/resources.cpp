// The resources of this folder are compiled into the quenorresources library;
// this file gives the library a translation unit of its own.
namespace QuenorResources {
int anchor()
{
    return 0;
}
} // namespace QuenorResources
