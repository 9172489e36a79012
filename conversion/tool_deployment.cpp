#include "conversion/tool_deployment.h"

#include "conversion/conversion_names.h"
#include "conversion/file_operations.h"
#include "tool_images/tool_images.h"

bool deploy_tool(const Text& path, const ByteBlock& image)
{
    if (image.empty())
        return false;  // a build without the tool must not leave an empty file to run
    if (file_holds(path, image))
        return true;
    const Text partial = new_temporary_file(directory_of(path));
    if (partial.empty())
        return false;
    if (write_file(partial, image) && replace_file(partial, path))
        return true;
    delete_file(partial);
    return false;
}

namespace {
std::optional<tool_paths> deploy_tools_in(const Text& directory)
{
    if (directory.empty())
        return std::nullopt;
    tool_paths tools{path_in_directory(directory, decoder_tool_name),
                     path_in_directory(directory, encoder_tool_name)};
    if (deploy_tool(tools.decoder, decoder_tool_image) && deploy_tool(tools.encoder, encoder_tool_image))
        return tools;
    return std::nullopt;
}
}  // namespace

std::optional<tool_paths> deploy_tools_into(const Text& preferred_directory, const Text& fallback_directory)
{
    if (auto tools = deploy_tools_in(preferred_directory))
        return tools;
    if (fallback_directory.empty() || !create_directories(fallback_directory))
        return std::nullopt;
    return deploy_tools_in(fallback_directory);
}

std::optional<tool_paths> deploy_tools()
{
    return deploy_tools_into(run_directory(), local_tools_directory());
}
