# Sources of vexlar3d/graphics/.
