# Sources of vexlar3d/platform/.
