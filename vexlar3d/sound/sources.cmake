# Sources of vexlar3d/sound/.
