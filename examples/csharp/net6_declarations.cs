// net6_declarations.cs: the two .NET 6 types README's C# snippet uses that the .NET Framework reference
// assemblies of Debian's mono-mcs lack, declared with .NET 6's signatures so that the snippet compiles
// there as written. Only for that compile check; never run.
namespace System.Runtime.InteropServices
{
    public static class NativeLibrary
    {
        public static IntPtr Load(string libraryPath) { throw new PlatformNotSupportedException(); }
        public static IntPtr GetExport(IntPtr handle, string name) { throw new PlatformNotSupportedException(); }
    }
}

namespace System.Text.Json
{
    public static class JsonSerializer
    {
        public static string Serialize<TValue>(TValue value, JsonSerializerOptions options = null)
        {
            throw new PlatformNotSupportedException();
        }
    }

    public sealed class JsonSerializerOptions
    {
    }
}
