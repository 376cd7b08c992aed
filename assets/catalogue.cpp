// The asset catalogue arrives with the image list.
namespace kv {}
