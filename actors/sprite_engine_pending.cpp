// The sprite engine arrives with the image list.
namespace kv {}
