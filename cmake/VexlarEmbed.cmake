# vexlar_embed_files(<target> NAME <resource name> FILE <path> [NAME ... FILE ...])
# Embeds files into <target> so that T_ResourceFile can open them by name.
function(vexlar_embed_files target)
endfunction()
